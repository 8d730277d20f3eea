// The row of buttons under the settings windows' pages: OK and Cancel at its right end, 50 x 14
// units each, OK the default.
#pragma once

class QDialog;
class QHBoxLayout;

namespace quillon {

// Makes the two buttons ("okButton" and "cancelButton") as children of `dialog`, tied to its
// accept() and reject(), and returns the row that holds them for the dialog's own layout.
QHBoxLayout* OkCancelRow(QDialog& dialog);

}  // namespace quillon
