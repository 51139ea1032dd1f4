// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextBrowser>

// Help's browser. A link to a local file that is not a page, the licence's text, shows that
// text as it is written, line by line, under a link back to help; links with a scheme open
// outside the program.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    explicit HelpBrowser(QWidget *parent = nullptr);

    // zoomIn for a font sized in points or in pixels: a pixel size grows by the pixels that
    // so many points make on this screen.
    void zoomInPoints(int points);

    QVariant loadResource(int type, const QUrl &name) override;
};
