// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog.h"
#include "helpbrowser.h"
#include "ui_dialog.h"

#include <QUrl>

Dialog::Dialog(QWidget *parent) : QDialog(parent), ui(new Ui::Dialog)
{
    ui->setupUi(this);
    // A relative name: the browser resolves it against the working directory.
    ui->textBrowser->setSource(QUrl(QStringLiteral("readme.html")), QTextDocument::HtmlResource);
    ui->textBrowser->setOpenExternalLinks(true);
    ui->textBrowser->zoomInPoints(5);
}

Dialog::~Dialog() = default;
