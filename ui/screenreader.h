#pragma once

class QLabel;
class QLineEdit;

// What a screen reader needs beyond the accessibility events Qt sends by itself: the new
// result spoken when a calculation ends, and a field named as soon as Tab reaches it.
namespace ScreenReader {

// Marks a label whose every new text is to be announced. Call it before the label's
// accessible interface exists, that is before the form that makes it is set up.
void prepareAnnouncements();

// Has screen readers speak the label's text now, without moving the focus.
void announce(QLabel *label);

// Has the field, when Tab reaches it, select its text only after screen readers have
// heard that it has the focus, so that they name it.
void selectAfterFocus(QLineEdit *field);

} // namespace ScreenReader
