// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "dialog.h"
#include "formfit.h"
#include "messagecodec.h"
#include "messages.h"
#include "screenreader.h"

#include <QEvent>
#include <QIcon>
#include <QIntValidator>
#include <QLocale>
#include <QSignalBlocker>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ScreenReader::prepareAnnouncements();
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/icon.bmp")));

    // The C locale without group separators accepts exactly the texts that
    // QString::toInt reads, so every count the user sees is the count computed.
    auto *validator = new QIntValidator(0, StatEngine::maxCount, this);
    QLocale locale = QLocale::c();
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    validator->setLocale(locale);

    edits = {ui->lineEditA, ui->lineEditB, ui->lineEditC, ui->lineEditD};
    for (QLineEdit *edit : edits) {
        edit->setValidator(validator);
        ScreenReader::selectAfterFocus(edit);
    }

    ui->pushButton->setDisabled(true);

    // Every change of a field's text, not only the user's edits (textEdited): an assistive
    // technology sets the text, or inserts into it, through the accessibility interface.
    // The window never sets a field's text but to refuse such a change.
    for (QLineEdit *edit : edits)
        connect(edit, SIGNAL(textChanged(QString)), this, SLOT(testInput()));
    connect(ui->pushButton, SIGNAL(clicked()), this, SLOT(slotCalc()));
    connect(ui->pushButtonAbout, SIGNAL(clicked()), this, SLOT(slotAbout()));

    drawn = FormFit::drawn(this);
    fitToFont();
}

MainWindow::~MainWindow() = default;

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    const auto type = event->type();
    if (drawn.widgets.isEmpty() || fitPending ||
        (type != QEvent::FontChange && type != QEvent::ApplicationFontChange &&
         type != QEvent::StyleChange))
        return;
    // Once every widget has taken the new font: one change sends several events.
    fitPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            fitPending = false;
            fitToFont();
        },
        Qt::QueuedConnection);
}

void MainWindow::slotAbout()
{
    Dialog help(this);
    help.exec();
}

void MainWindow::slotCalc()
{
    // Show that the calculation runs, painted at once: the window takes no input until the
    // tests are done.
    ui->pushButton->setDown(true);
    ui->labelM->setText(MessageCodec::decode(Messages::waitMethod));
    ui->labelZ->setText(MessageCodec::decode(Messages::waitVerdict));
    ui->pushButton->repaint();
    ui->labelM->repaint();
    ui->labelZ->repaint();

    FourfoldVerdicts verdicts;
    if (engine.fourfoldTest(cells, verdicts)) {
        ui->labelM->setText(MessageCodec::decode(Messages::chiSquareMethod));
        ui->labelZ->setText(verdicts[0]);
    } else {
        ui->labelM->setText(MessageCodec::decode(Messages::fisherMethod));
        ui->labelZ->setText(verdicts[1]);
    }
    // Screen readers speak the result while the focus stays on the button.
    ScreenReader::announce({ui->labelM, ui->labelZ});
    ui->pushButton->setDown(false);
}

void MainWindow::testInput()
{
    // Text that the validator refuses came by another way than the keys (the accessibility
    // interface's insert, say): the field takes its last text back, and nothing changed.
    for (std::size_t i = 0; i < edits.size(); ++i) {
        QString text = edits[i]->text();
        int position = 0;
        if (edits[i]->validator()->validate(text, position) != QValidator::Invalid) {
            allowed[i] = text;
        } else {
            const QSignalBlocker quiet(edits[i]);
            edits[i]->setText(allowed[i]);
            return;
        }
    }

    // Any edit makes the shown result stale.
    ui->labelM->clear();
    ui->labelZ->clear();

    for (const QLineEdit *edit : edits) {
        if (edit->text().isEmpty()) {
            ui->pushButton->setDisabled(true);
            return;
        }
    }
    // A lone "+" is acceptable intermediate input and counts as 0.
    for (std::size_t i = 0; i < edits.size(); ++i)
        cells[i] = edits[i]->text().toInt(nullptr, 10);
    ui->pushButton->setDisabled(!StatEngine::isUsable(cells));
}

void MainWindow::fitToFont()
{
    // Every text the window can show, in the widget that shows it.
    QList<FormFit::Text> texts = {
        {ui->groupBox, ui->groupBox->title()},
        {ui->groupBox_3, ui->groupBox_3->title()},
        {ui->groupBox_4, ui->groupBox_4->title()},
        {ui->pushButton, ui->pushButton->text()},
        {ui->pushButtonAbout, ui->pushButtonAbout->text()},
        {ui->labelM, MessageCodec::decode(Messages::chiSquareMethod)},
        {ui->labelM, MessageCodec::decode(Messages::fisherMethod)},
        {ui->labelM, MessageCodec::decode(Messages::waitMethod)},
        {ui->labelZ, MessageCodec::decode(Messages::waitVerdict)},
    };
    // One p-value in each grade gives each of the four verdicts.
    for (const double p : {1.0, 0.1, 0.05, 0.01})
        texts.append({ui->labelZ, engine.verdictText(p)});
    for (QLineEdit *edit : edits)
        texts.append({edit, QString::number(StatEngine::maxCount)});
    // Measured at the size as drawn, never on top of an earlier fit.
    FormFit::scale(this, drawn, 1.0);
    FormFit::scale(this, drawn, FormFit::factorFor(texts));
}
