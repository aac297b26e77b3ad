#include "platform/QtDialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace gapwell {

namespace {

// A button: its English text, Qt's own English text for the same button (nullptr when Qt has
// no such button), and the answer it gives.
struct AnswerButton {
    const char* text;
    const char* toolkitText;
    int answer;
};

constexpr AnswerButton kOk{"OK", "OK", 1};
constexpr AnswerButton kCancel{"Cancel", "Cancel", 2};
constexpr AnswerButton kAbort{"&Abort", "Abort", 3};
constexpr AnswerButton kRetry{"&Retry", "Retry", 4};
constexpr AnswerButton kIgnore{"&Ignore", "Ignore", 5};
constexpr AnswerButton kYes{"&Yes", "&Yes", 6};
constexpr AnswerButton kNo{"&No", "&No", 7};
constexpr AnswerButton kClose{"&Close", "Close", 8};
constexpr AnswerButton kTryAgain{"&Try Again", nullptr, 10};
constexpr AnswerButton kContinue{"&Continue", nullptr, 11};

// The button's text in the user's language from Qt's own translations (installed at start-up),
// which name Qt's standard buttons in both contexts below; the English text where they have
// none.
QString ButtonText(const AnswerButton& button) {
    if (button.toolkitText != nullptr) {
        for (const char* context : {"QPlatformTheme", "QDialogButtonBox"}) {
            QString translated = QCoreApplication::translate(context, button.toolkitText);
            if (translated != QLatin1String(button.toolkitText)) {
                return translated;
            }
        }
    }
    return QString::fromLatin1(button.text);
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

// Line breaks of any convention as Qt shows them.
QString PlainLines(const std::string& text) {
    QString lines = FromStd(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

// ---- Task dialog ----

// The task dialog's common buttons in the order it shows them, with their results.
struct CommonButton {
    int flag;
    AnswerButton button;
};
constexpr CommonButton kCommonButtons[] = {
    {0x01, kOk}, {0x02, kYes}, {0x04, kNo}, {0x10, kRetry}, {0x08, kCancel}, {0x20, kClose},
};
constexpr int kTaskDialogCancel = 2;

QIcon TaskDialogIcon(int icon) {
    QStyle* style = QApplication::style();
    switch (icon) {
        case 0xFFFF:
            return style->standardIcon(QStyle::SP_MessageBoxWarning);
        case 0xFFFE:
            return style->standardIcon(QStyle::SP_MessageBoxCritical);
        case 0xFFFD:
            return style->standardIcon(QStyle::SP_MessageBoxInformation);
        case 0xFFFC:
        case 0xFFFB:
        case 0xFFFA:
        case 0xFFF9:
        case 0xFFF8:
        case 0xFFF7:
            return style->standardIcon(QStyle::SP_VistaShield);
        default:
            return {};
    }
}

QLabel* WrappingLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// The upper panel: icon, main instruction as a heading, content below it.
QWidget* InstructionPanel(const TaskDialogRequest& request, QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setMinimumWidth(400);
    panel->setAutoFillBackground(true);
    panel->setBackgroundRole(QPalette::Base);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(10);

    const QIcon icon = TaskDialogIcon(request.icon);
    if (!icon.isNull()) {
        auto* iconLabel = new QLabel(panel);
        iconLabel->setPixmap(icon.pixmap(32, 32));
        row->addWidget(iconLabel, 0, Qt::AlignTop);
    }
    auto* texts = new QVBoxLayout;
    QLabel* heading = WrappingLabel(PlainLines(request.mainInstruction), panel);
    QFont headingFont = heading->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.5);
    heading->setFont(headingFont);
    QPalette headingPalette = heading->palette();
    headingPalette.setColor(QPalette::WindowText, QColor(0x00, 0x33, 0x99));
    heading->setPalette(headingPalette);
    texts->addWidget(heading);
    if (request.content) {
        texts->addWidget(WrappingLabel(PlainLines(*request.content), panel));
    }
    texts->addStretch();
    row->addLayout(texts, 1);
    return panel;
}

// The lower panel: the requested common buttons, right-aligned; each ends the dialog with its
// result. The first one is the default button.
QHBoxLayout* CommonButtonRow(int commonButtons, QDialog* dialog) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(12, 8, 12, 8);
    row->addStretch();
    bool first = true;
    for (const CommonButton& common : kCommonButtons) {
        if ((commonButtons & common.flag) == 0) {
            continue;
        }
        auto* button = new QPushButton(ButtonText(common.button), dialog);
        const int answer = common.button.answer;
        QObject::connect(button, &QPushButton::clicked, dialog,
                         [dialog, answer] { dialog->done(answer); });
        button->setDefault(first);
        first = false;
        row->addWidget(button);
    }
    return row;
}

// ---- Classic message box ----

// Button sets by their code (style bits 0-3), in the classic box's order.
const std::vector<std::vector<AnswerButton>>& ClassicButtonSets() {
    static const std::vector<std::vector<AnswerButton>> sets = {
        {kOk},       {kOk, kCancel},    {kAbort, kRetry, kIgnore},       {kYes, kNo, kCancel},
        {kYes, kNo}, {kRetry, kCancel}, {kCancel, kTryAgain, kContinue},
    };
    return sets;
}

QMessageBox::Icon ClassicIcon(int style) {
    switch (style & 0xF0) {
        case 0x10:
            return QMessageBox::Critical;
        case 0x20:
            return QMessageBox::Question;
        case 0x30:
            return QMessageBox::Warning;
        case 0x40:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// Qt's filter form of a (description, "*.a;*.b") pair: "Description (*.a *.b)". A pattern list
// already written in parentheses at the end of the description is replaced, not repeated.
QString NameFilter(const std::pair<std::string, std::string>& filter) {
    QString description = FromStd(filter.first).trimmed();
    const qsizetype listStart = description.lastIndexOf(QStringLiteral(" ("));
    if (description.endsWith(QLatin1Char(')')) && listStart > 0) {
        description.truncate(listStart);
    }
    QString patterns = FromStd(filter.second);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return description + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
}

}  // namespace

int ShowTaskDialog(const TaskDialogRequest& request) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(FromStd(request.title));
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(InstructionPanel(request, &dialog));
    layout->addLayout(CommonButtonRow(request.commonButtons, &dialog));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    const int result = dialog.exec();
    // Esc and the close box reject the dialog; the task dialog reports that as Cancel.
    return result == QDialog::Rejected ? kTaskDialogCancel : result;
}

int ShowClassicMessageBox(const std::string& text, const std::string& title, int style) {
    const auto& sets = ClassicButtonSets();
    const std::size_t setCode = static_cast<std::size_t>(style & 0xF);
    if (setCode >= sets.size()) {
        return 0;  // an unknown button set: the box cannot be shown
    }
    QMessageBox box(ClassicIcon(style), FromStd(title), PlainLines(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    // Every button takes the same role so that they keep the classic order; only Cancel (or the
    // single OK) answers Esc and the close box, as in the classic box.
    std::vector<std::pair<QPushButton*, int>> buttons;
    for (const AnswerButton& choice : sets[setCode]) {
        QPushButton* button = box.addButton(ButtonText(choice), QMessageBox::ActionRole);
        buttons.emplace_back(button, choice.answer);
        if (choice.answer == 2 || sets[setCode].size() == 1) {
            box.setEscapeButton(button);
        }
    }
    const std::size_t defaultIndex = static_cast<std::size_t>((style & 0x300) >> 8);
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0].first);
    box.exec();
    for (const auto& [button, answer] : buttons) {
        if (box.clickedButton() == button) {
            return answer;
        }
    }
    return 0;
}

std::string ShowOpenFileDialog(const OpenFileRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), FromStd(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    QStringList filters;
    for (const auto& filter : request.filters) {
        filters << NameFilter(filter);
    }
    dialog.setNameFilters(filters);
    // The filter index counts from 1; 0 keeps the first filter.
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    }
    if (!request.defaultExtension.empty()) {
        dialog.setDefaultSuffix(FromStd(request.defaultExtension));
    }
    const QFileInfo start(FromStd(request.initialPath));
    if (start.isDir()) {
        dialog.setDirectory(start.absoluteFilePath());
    } else if (!request.initialPath.empty()) {
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace gapwell
