#include "ui/Localize.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QVariant>
#include <QWidget>
#include <optional>

#include "services/modLocalize.h"
#include "ui/ProgramFonts.h"

namespace gapwell {

namespace {

const QString kCalibri = QStringLiteral("Calibri");

int TagStringId(const QObject* object) {
    return ReadStringId(object->property("tag").toString().toStdString());
}

std::optional<QString> TextOf(int id) {
    if (id == 0) {
        return std::nullopt;
    }
    const std::optional<std::string> text = TryLoadString(id);
    if (!text) {
        return std::nullopt;
    }
    return QString::fromStdString(*text);
}

// Changes only the face: size, weight and style stay as designed.
void UseCalibri(QWidget* widget) {
    QFont font = widget->font();
    font.setFamily(kCalibri);
    widget->setFont(font);
}

// The menu bar keeps its font like the menu items on it: its face is pinned, so that a new face
// of the window does not reach it.
void KeepMenuBarFace(QWidget* window) {
    for (QMenuBar* menuBar : window->findChildren<QMenuBar*>(Qt::FindDirectChildrenOnly)) {
        QFont own = menuBar->font();
        own.setFamily(own.family());
        menuBar->setFont(own);
    }
}

// Sets the caption of the kinds of controls that have one; other controls keep what they show.
void SetCaption(QWidget* control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        frame->setTitle(text);
    }
}

// Menu items in menu order, each submenu's items right after the submenu's own item.
// Separators carry no id and keep their text; menu items keep their font.
void LocalizeMenuItems(const QList<QAction*>& items) {
    for (QAction* item : items) {
        if (item->isSeparator()) {
            continue;
        }
        if (const auto text = TextOf(item->property("helpContextId").toInt())) {
            item->setText(*text);
        }
        if (item->menu() != nullptr) {
            LocalizeMenuItems(item->menu()->actions());
        }
    }
}

// The controls inside `parent` in creation order, depth-first. Other windows (dialogs, popup
// menus) are not controls of this window; the menu bar's items are localized as menu items.
void LocalizeControls(QObject* parent, bool useCalibri) {
    for (QObject* child : parent->children()) {
        if (auto* menuBar = qobject_cast<QMenuBar*>(child)) {
            LocalizeMenuItems(menuBar->actions());
            continue;
        }
        auto* control = qobject_cast<QWidget*>(child);
        if (control == nullptr || control->isWindow()) {
            continue;
        }
        if (useCalibri) {
            UseCalibri(control);
        }
        if (const auto text = TextOf(TagStringId(control))) {
            SetCaption(control, *text);
        }
        LocalizeControls(control, useCalibri);
    }
}

}  // namespace

void LocalizeWithFont(QWidget* window, bool useCalibri) {
    if (const auto caption = TextOf(TagStringId(window))) {
        window->setWindowTitle(*caption);
    }
    if (useCalibri) {
        KeepMenuBarFace(window);
        UseCalibri(window);
    }
    LocalizeControls(window, useCalibri);
    UseScalableFaces(window);
}

void Localize(QWidget* window) {
    LocalizeWithFont(window, CalibriInstalled());
}

}  // namespace gapwell
