#include "ui/modIcon.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPixmap>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include "services/ErrorScope.h"

namespace gapwell {

namespace {

// The window that owns `window`: its parent's window, or the widget of its transient parent.
QWidget* OwnerOf(const QWidget* window) {
    if (const QWidget* parent = window->parentWidget()) {
        return parent->window();
    }
    const QWindow* handle = window->windowHandle();
    const QWindow* transientParent = handle != nullptr ? handle->transientParent() : nullptr;
    if (transientParent == nullptr) {
        return nullptr;
    }
    for (QWidget* candidate : QApplication::topLevelWidgets()) {
        if (candidate->windowHandle() == transientParent) {
            return candidate;
        }
    }
    return nullptr;
}

QWidget* TopmostOwner(QWidget* window) {
    QWidget* topmost = window;
    while (QWidget* owner = OwnerOf(topmost)) {
        topmost = owner;
    }
    return topmost;
}

// The image of the icon group for a square size; the group's best-fitting image scaled to it,
// or a null pixmap when the group does not exist.
QPixmap LoadIconImage(const QString& iconName, int size) {
    QIcon group;
    for (const int groupSize : {16, 32, 48}) {
        const QString file = QStringLiteral(":/icons/%1/%2.png").arg(iconName).arg(groupSize);
        if (QFile::exists(file)) {
            group.addFile(file, QSize(groupSize, groupSize));
        }
    }
    return group.isNull() ? QPixmap() : group.pixmap(size, size);
}

// Qt keeps one icon per window that holds every size: replacing the large or the small icon
// replaces the image of that size and keeps the others. A null image leaves that size empty.
void SetWindowIconOfSize(QWidget* target, const QPixmap& image, int size) {
    const QIcon current = target->windowIcon();
    QIcon icon;
    for (const QSize& available : current.availableSizes()) {
        if (available.width() != size) {
            icon.addPixmap(current.pixmap(available));
        }
    }
    if (!image.isNull()) {
        icon.addPixmap(image);
    }
    target->setWindowIcon(icon);
}

}  // namespace

void SetIcon(QWidget* window, const QString& iconName, bool setAppIcon) {
    ErrorScope scope("SetIcon", "modIcon");
    QWidget* owner = nullptr;
    int largeSize = 0;
    int smallSize = 0;
    QPixmap icon;

    if (setAppIcon) {
        scope.Step([&] { owner = TopmostOwner(window); });
    }
    scope.Step([&] { largeSize = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize); });
    scope.Step([&] { icon = LoadIconImage(iconName, largeSize); });
    if (owner != nullptr) {
        scope.Step([&] { SetWindowIconOfSize(owner, icon, largeSize); });
    }
    scope.Step([&] { SetWindowIconOfSize(window, icon, largeSize); });

    scope.Step([&] { smallSize = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize); });
    scope.Step([&] { icon = LoadIconImage(iconName, smallSize); });
    if (owner != nullptr) {
        scope.Step([&] { SetWindowIconOfSize(owner, icon, smallSize); });
    }
    scope.Step([&] { SetWindowIconOfSize(window, icon, smallSize); });
}

}  // namespace gapwell
