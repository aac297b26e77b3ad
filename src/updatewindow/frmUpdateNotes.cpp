// The release notes in the wizard's second step: a caption and a read-only box of plain text
// below the versions. Without notes they stay hidden and the wizard keeps its size; with notes
// the steps, the window and its buttons move down by the room the box needs.

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "services/modLocalizedIDs.h"
#include "ui/LayoutHelpers.h"
#include "updatewindow/frmUpdate.h"

namespace gapwell {

namespace {

constexpr int kNotesRoomTwips = 1800;

}  // namespace

void frmUpdate::BuildNotesControls() {
    lblNotes = AddLabel(fraFrame[1], "lblNotes", QStringLiteral("Release notes:"),
                        TwipsRect(120, 1890, 5535, 255));
    SetStringId(lblNotes, kStrReleaseNotes);
    lblNotes->hide();
    txtNotes = Place(new QPlainTextEdit(fraFrame[1]), "txtNotes", TwipsRect(120, 2145, 5535, 1590));
    txtNotes->setReadOnly(true);
    txtNotes->setUndoRedoEnabled(false);
    txtNotes->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtNotes->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtNotes->hide();
}

void frmUpdate::ShowReleaseNotes(const std::string& notes) {
    txtNotes->setPlainText(QString::fromUtf8(notes.data(), qsizetype(notes.size())));
    // Assistive technology announces the box by its caption, not by the step's frame.
    txtNotes->setAccessibleName(lblNotes->text());
    if (!txtNotes->isHidden()) {
        return;
    }
    const int room = TwipsToPixels(kNotesRoomTwips);
    for (QGroupBox* frame : fraFrame) {
        frame->resize(frame->width(), frame->height() + room);
    }
    for (QPushButton* button : {cmdCancel, cmdNext, cmdSkip}) {
        button->move(button->x(), button->y() + room);
    }
    setFixedSize(width(), height() + room);
    lblNotes->show();
    txtNotes->show();
}

}  // namespace gapwell
