#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLineEdit;

namespace ovlix {

// The font and icon that every window of the program shares.
void applyProgramLook();

void centreOnScreen(QWidget& window);

// A fixed single border without minimise and maximise buttons.
void useFixedBorder(QWidget& window);

// The forms' headings and some frame titles are 9.75 points; what a frame
// holds keeps its own size.
void useHeadingFont(QWidget& widget);

// The network setup's address boxes and the About window's title are 12 points.
void useLargeFont(QWidget& widget);

// The frame's line runs through the middle of its title, as the forms are laid
// out for, not below the title where a heading at the frame's top would sit.
void runLineThroughTitle(QGroupBox& frame);

// A box to read, not to type in: the grey of the window's inactive border.
void showAsReadOnly(QLineEdit& box);

// An editable list of codes whose text is sent as typed: no completion that
// would change the case of a typed text, no typed entry added to the list.
// The first code is selected.
void fillCodeList(QComboBox& list, const QStringList& codes);

} // namespace ovlix
