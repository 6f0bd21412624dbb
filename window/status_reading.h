#pragma once

#include <QString>

class QLabel;

// How the window's status reads to screen readers, which Qt's own interface
// for a label gets wrong here: an empty status box would be heard as the
// caption beside it ("Ejecutar", a value that is not there), and nothing
// tells a reader when a reply has changed the boxes.
namespace StatusReading {

// The box reads as the reply it shows, and as nothing while it shows none.
void readAsStatusBox(QLabel *box);
// The caption becomes a notification: read as itself and the last notice.
void readAsNotice(QLabel *caption);
// Gives the notice a new text and shows it anew, which is what Orca speaks
// unasked: the boxes never take focus, and Qt 6.4 has no call to announce a
// text.
void tell(QLabel *caption, const QString &notice);

} // namespace StatusReading
