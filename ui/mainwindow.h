// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

private slots:
    void slotAbout();
    void slotCalc();
    void testInput();

private:
    // Grows the form, in proportion, until every text it can show fits at its font.
    void fitToFont();

    std::unique_ptr<Ui::MainWindow> ui;
    // The fields of cells a, b, c, d, for indexed access.
    std::array<QLineEdit *, 4> edits{};
    // Counts from the last edit that left all four fields filled.
    FourfoldCounts cells{};
    StatEngine engine;
    // Each field's last text that the validator lets stand.
    std::array<QString, 4> allowed;
};
