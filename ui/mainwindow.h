// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "formfit.h"
#include "statengine.h"

#include <QMainWindow>

#include <array>
#include <memory>

class QLineEdit;

namespace Ui {
class MainWindow;
}

// The calculator's window: four counts in, the applicable method and its verdict out.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    // A font or style changed while the window runs: the form fits itself again.
    void changeEvent(QEvent *event) override;

private slots:
    void slotAbout();
    void slotCalc();
    void testInput();

private:
    // Grows the form as drawn, in proportion, until every text it can show fits at its font.
    void fitToFont();

    std::unique_ptr<Ui::MainWindow> ui;
    // The fields of cells a, b, c, d, for indexed access.
    std::array<QLineEdit *, 4> edits{};
    // Counts from the last edit that left all four fields filled.
    FourfoldCounts cells{};
    StatEngine engine;
    // Each field's last text that the validator lets stand.
    std::array<QString, 4> allowed;
    // The form as drawn, which every fit starts from; empty until the window is built.
    FormFit::Drawn drawn;
    bool fitPending = false;
};
