// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpbrowser.h"

#include <QFileInfo>

namespace {
// The back link's target, within the text file shown.
const QString back = QStringLiteral("back");
} // namespace

HelpBrowser::HelpBrowser(QWidget *parent) : QTextBrowser(parent)
{
    // Handled before the browser would follow it: back to the page the text was opened from,
    // as Alt+Left goes, to the link that opened it.
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        if (url.fragment() == back && isBackwardAvailable())
            backward();
    });
}

void HelpBrowser::zoomInPoints(int points)
{
    QFont larger = font();
    if (larger.pixelSize() <= 0)
        return zoomIn(points);
    larger.setPixelSize(larger.pixelSize() + qRound(points * logicalDpiY() / 72.0));
    setFont(larger);
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    QVariant data = QTextBrowser::loadResource(type, name);
    const QString suffix = QFileInfo(name.path()).suffix().toLower();
    if ((type != QTextDocument::HtmlResource && type != QTextDocument::UnknownResource) ||
        suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return data;
    // Parsed as HTML, a plain text would lose its line breaks and whatever reads as a tag.
    return QStringLiteral(
               "<p><a href=\"#%1\">%2</a></p><pre style=\"white-space: pre-wrap\">%3</pre>")
        .arg(back, tr("Назад к справке"), QString::fromUtf8(data.toByteArray()).toHtmlEscaped());
}
