// SPDX-License-Identifier: GPL-3.0-or-later
// The information window with the fixed help text.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>

namespace skyvane {

// The help text, 16 lines each ended by CR LF.
const char* HelpText();

class Form2 : public QWidget {
 public:
  // A top-level window of its own: it stays open when the main window closes,
  // and is discarded (edits and all) when closed.
  Form2();
  QPlainTextEdit* Text1 = nullptr;
};

}  // namespace skyvane
