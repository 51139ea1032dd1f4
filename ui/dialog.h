// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class Dialog;
}

// The help window: the page "readme.html" from the current working directory,
// read afresh each time a dialog is made.
class Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit Dialog(QWidget *parent);
    ~Dialog() override;

private:
    std::unique_ptr<Ui::Dialog> ui;
};
