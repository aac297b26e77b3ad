#include <QLineEdit>
#include <QVariant>
#include <algorithm>
#include <cstdint>
#include <optional>

#include "app/frmMain.h"
#include "platform/Platform.h"
#include "search/Numbers.h"
#include "search/RomFacts.h"
#include "services/ErrorScope.h"
#include "ui/InputMaxLength.h"

namespace gapwell {

namespace {
constexpr std::int64_t kLargestCount = 65535;
constexpr std::int64_t kSixteenMiB = 16777216;
constexpr int kShortOffsetDigits = 6;
constexpr int kLongOffsetDigits = 7;

// A text made only of decimal digits in hex; anything else (a sign, blanks, letters) is no number
// and converts to nothing.
std::optional<QString> DecimalToHex(const QString& decimal) {
    bool ok = false;
    const qulonglong value = decimal.toULongLong(&ok, 10);
    const bool plain =
        std::all_of(decimal.begin(), decimal.end(), [](QChar c) { return c.isDigit(); });
    if (!ok || !plain) {
        return std::nullopt;
    }
    return QString::fromStdString(ToHex(value));
}

// The hex digits read as a 32-bit two's-complement value, as the hex box holds at most 8 digits.
std::optional<QString> HexToDecimal(const QString& hex) {
    const auto bits = static_cast<std::uint32_t>(ReadHexLeading(hex.toStdString()));
    return QString::number(static_cast<std::int32_t>(bits));
}
}  // namespace

void frmMain::txtByteType_LostFocus() {
    const QString text = txtByteType->text();
    if (text.isEmpty()) {
        txtByteType->setText(QStringLiteral("FF"));
    } else {
        txtByteType->setText((QStringLiteral("0") + text).right(2));
    }
}

void frmMain::LimitCount(QLineEdit* countBox) {
    if (ReadDecimalLeading(countBox->text().toStdString()) > kLargestCount) {
        // Setting the text puts the caret after its last character, nothing selected.
        countBox->setText(QString::number(kLargestCount));
    }
}

void frmMain::txtNeededBytes_Change() {
    LimitCount(txtNeededBytes);
}

void frmMain::txtNeededBytes_LostFocus() {
    if (txtNeededBytes->text().isEmpty()) {
        txtNeededBytes->setText(QStringLiteral("1"));
    }
}

void frmMain::txtSearchInterval_Change() {
    LimitCount(txtSearchInterval);
}

void frmMain::txtSearchInterval_LostFocus() {
    if (txtSearchInterval->text().isEmpty()) {
        txtSearchInterval->setText(QStringLiteral("1"));
    }
}

void frmMain::txtOffset_Change() {
    ErrorScope scope("txtOffset_Change", "frmMain");
    // Measured afresh at every change: the file may have changed since it was opened.
    std::int64_t length = 0;
    scope.Step([&] { length = RomLength(m_FileName); });
    scope.Step([&] {
        SetInputMaxLength(txtOffset, length > kSixteenMiB ? kLongOffsetDigits : kShortOffsetDigits);
    });
}

void frmMain::optOffset_Click(int index) {
    ErrorScope scope("optOffset_Click", "frmMain");
    scope.Step([&] { txtOffset->setEnabled(index == 0); });
    scope.Step([&] {
        if (index == 0) {
            SetTextUncut(txtOffset, txtOffset->property("tag").toString());
        } else {
            txtOffset->setProperty("tag", txtOffset->text());
        }
    });
}

void frmMain::ConvertInto(const QLineEdit* source, QLineEdit* target,
                          std::optional<QString> (*convert)(const QString&)) {
    if (converting_) {
        return;
    }
    converting_ = true;
    const QString text = source->text();
    if (text.isEmpty()) {
        target->setText(QString());
    } else if (const std::optional<QString> converted = convert(text)) {
        SetTextUncut(target, *converted);
    }
    converting_ = false;
}

void frmMain::txtDec_Change() {
    ConvertInto(txtDec, txtHex, DecimalToHex);
}

void frmMain::txtHex_Change() {
    ConvertInto(txtHex, txtDec, HexToDecimal);
}

}  // namespace gapwell
