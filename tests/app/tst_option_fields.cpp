// The option fields and the converter of the main window: the hex boxes' key filter and
// validation, the digits-only boxes, the count fields' limits and fallbacks, the offset box's
// length rule and remembered text, and the hex/decimal converter.

#include <QClipboard>
#include <QRadioButton>
#include <fstream>
#include <sstream>

#include "NoUpdateCheck.h"
#include "SearchWindowTesting.h"
#include "app/clsHexBox.h"
#include "ui/InputMaxLength.h"

using gapwell::frmMain;
using namespace searchwindow;

namespace {
void Paste(QLineEdit* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}
}  // namespace

class TestOptionFields : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir folder_;
    gapwell::FakePlatform platform_;
    QString smallRom_;

    std::unique_ptr<frmMain> WindowWithRom(const QString& path) {
        auto window = ShowWindow();
        OpenRom(*window, platform_, path);
        platform_.beeps = 0;
        return window;
    }

  private slots:
    void initTestCase() {
        UseQuietPlatform(platform_, folder_);
        smallRom_ = WriteRom(folder_, QStringLiteral("small.gba"), 0x1000);
    }

    void cleanup() {
        UnloadAll();
        platform_.taskDialogs.clear();
    }

    void hexBoxKeyFilter() {
        const auto window = WindowWithRom(smallRom_);
        QLineEdit* box = window->txtByteType;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, QStringLiteral("a"));
        QCOMPARE(box->text(), QStringLiteral("FA"));
        QCOMPARE(platform_.beeps, 0);

        for (const Qt::Key key : {Qt::Key_G, Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape}) {
            QTest::keyClick(box, key);
        }
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("FA"));
        QCOMPARE(platform_.beeps, 5);
        QVERIFY(!box->hasSelectedText());

        // Copy, cut, paste and undo pass.
        box->selectAll();
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("FA"));
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(box->text(), QString());
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("FA"));
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), QString());
        // Only the two emptyings beep (an empty text is no hex number).
        QCOMPARE(platform_.beeps, 7);
    }

    void hexBoxValidatesEveryChange() {
        const auto window = WindowWithRom(smallRom_);
        window->txtOffset->clear();
        platform_.beeps = 0;
        Paste(window->txtOffset, QStringLiteral("12G"));
        QCOMPARE(window->txtOffset->text(), QString());
        // One beep for the pasted text, one for the empty text that its emptying leaves.
        QCOMPARE(platform_.beeps, 2);

        window->txtByteType->clear();
        Paste(window->txtByteType, QStringLiteral("ff"));
        QCOMPARE(window->txtByteType->text(), QStringLiteral("ff"));

        // Texts set by the program are checked too: nine digits are too many.
        platform_.beeps = 0;
        gapwell::SetTextUncut(window->txtHex, QStringLiteral("123456789"));
        QCOMPARE(window->txtHex->text(), QString());
        QCOMPARE(platform_.beeps, 2);
    }

    void upperCaseStyleUpperCasesPastedLetters() {
        QLineEdit box;
        gapwell::clsHexBox hexBox;
        hexBox.SetTextBox(&box);
        QCOMPARE(hexBox.TextBox(), &box);
        hexBox.MakeUpperCase();
        box.insert(QStringLiteral("ab"));
        QCOMPARE(box.text(), QStringLiteral("AB"));
    }

    void byteTypeFallsBackWhenLeft() {
        const auto window = WindowWithRom(smallRom_);
        QLineEdit* box = window->txtByteType;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(platform_.beeps, 1);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(box->text(), QStringLiteral("FF"));

        Retype(box, QStringLiteral("7"));
        window->txtNeededBytes->setFocus();
        QCOMPARE(box->text(), QStringLiteral("07"));

        // Two digits are left as they are.
        Retype(box, QStringLiteral("AB"));
        window->txtNeededBytes->setFocus();
        QCOMPARE(box->text(), QStringLiteral("AB"));
    }

    void digitsOnlyBoxesRefuseTypedNonDigitsButNotPastedText() {
        const auto window = WindowWithRom(smallRom_);
        for (QLineEdit* box : {window->txtNeededBytes, window->txtSearchInterval, window->txtDec}) {
            box->clear();
            platform_.beeps = 0;
            box->setFocus();
            QTest::keyClicks(box, QStringLiteral("1a-2 3"));
            QCOMPARE(box->text(), QStringLiteral("123"));
            QCOMPARE(platform_.beeps, 3);
            QTest::keyClick(box, Qt::Key_Backspace);
            QCOMPARE(box->text(), QStringLiteral("12"));
            Paste(box, QStringLiteral("x"));
            QCOMPARE(box->text(), QStringLiteral("12x"));
        }
    }

    void countFieldsClampAndFallBack() {
        const auto window = WindowWithRom(smallRom_);
        for (QLineEdit* box : {window->txtNeededBytes, window->txtSearchInterval}) {
            Retype(box, QStringLiteral("70000"));
            QCOMPARE(box->text(), QStringLiteral("65535"));
            QCOMPARE(box->cursorPosition(), 5);
            QVERIFY(!box->hasSelectedText());
            Retype(box, QStringLiteral("65535"));
            QCOMPARE(box->text(), QStringLiteral("65535"));
            Retype(box, QStringLiteral("00"));
            QCOMPARE(box->text(), QStringLiteral("00"));
            // Pasted text reads as its leading digits.
            box->clear();
            Paste(box, QStringLiteral("99999x"));
            QCOMPARE(box->text(), QStringLiteral("65535"));

            box->clear();
            QTest::keyClick(box, Qt::Key_Tab);
            QCOMPARE(box->text(), QStringLiteral("1"));
        }
    }

    void offsetLengthFollowsTheRomSize() {
        const QString exact = WriteSparseRom(folder_, QStringLiteral("exact.gba"), 16777216);
        const QString larger = WriteSparseRom(folder_, QStringLiteral("larger.gba"), 16777217);
        for (const auto& [path, digits] : {std::pair{exact, 6}, std::pair{larger, 7}}) {
            const auto window = WindowWithRom(path);
            QCOMPARE(window->txtOffset->text(), QStringLiteral("800000"));
            // Opened again, the ROM proposes the text the box already holds.
            OpenRom(*window, platform_, path);
            window->txtOffset->setFocus();
            QTest::keyClick(window->txtOffset, Qt::Key_End);
            QTest::keyClicks(window->txtOffset, QStringLiteral("1"));
            QCOMPARE(window->txtOffset->text(), QStringLiteral("8000001").left(digits));
            Retype(window->txtOffset, QStringLiteral("123456789"));
            QCOMPARE(window->txtOffset->text(), QStringLiteral("1234567").left(digits));
        }
    }

    // The offset text is remembered while the search runs from the beginning, and put back
    // whole even when it is longer than the box now accepts.
    void offsetTextIsRememberedAndNeverCut() {
        const QString big = WriteSparseRom(folder_, QStringLiteral("big.gba"), 0x2000000);
        const QString exact = WriteSparseRom(folder_, QStringLiteral("sixteen.gba"), 0x1000000);
        const auto window = WindowWithRom(big);
        QCOMPARE(window->txtOffset->text(), QStringLiteral("1000000"));
        QTest::mouseClick(window->optOffset[1], Qt::LeftButton);
        QVERIFY(!window->txtOffset->isEnabled());
        QCOMPARE(window->txtOffset->text(), QStringLiteral("1000000"));

        OpenRom(*window, platform_, exact);
        QCOMPARE(window->txtOffset->text(), QStringLiteral("800000"));
        QTest::mouseClick(window->optOffset[0], Qt::LeftButton);
        QVERIFY(window->txtOffset->isEnabled());
        QCOMPARE(window->txtOffset->text(), QStringLiteral("1000000"));

        // The long text can be shortened but not lengthened.
        QLineEdit* box = window->txtOffset;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClicks(box, QStringLiteral("1"));
        QCOMPARE(box->text(), QStringLiteral("1000000"));
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(box->text(), QStringLiteral("000000"));
        QCOMPARE(box->cursorPosition(), 0);
        QTest::keyClicks(box, QStringLiteral("2"));
        QCOMPARE(box->text(), QStringLiteral("000000"));
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, QStringLiteral("2"));
        QCOMPARE(box->text(), QStringLiteral("200000"));
    }

    void converterEchoesBothWays() {
        const auto window = ShowWindow();
        platform_.beeps = 0;
        Retype(window->txtDec, QStringLiteral("255"));
        QCOMPARE(window->txtHex->text(), QStringLiteral("FF"));
        Retype(window->txtHex, QStringLiteral("ffff"));
        QCOMPARE(window->txtDec->text(), QStringLiteral("65535"));
        Retype(window->txtHex, QStringLiteral("FFFFFFF"));
        QCOMPARE(window->txtDec->text(), QStringLiteral("268435455"));
        Retype(window->txtDec, QStringLiteral("99999999"));
        QCOMPARE(window->txtHex->text(), QStringLiteral("5F5E0FF"));

        // Emptying the decimal box empties the hex box, which beeps as it is no hex number.
        platform_.beeps = 0;
        window->txtDec->selectAll();
        QTest::keyClick(window->txtDec, Qt::Key_Delete);
        QCOMPARE(window->txtHex->text(), QString());
        QCOMPARE(platform_.beeps, 1);

        // What the user pastes is cut to the box's eight characters.
        Paste(window->txtDec, QStringLiteral("1234567890"));
        QCOMPARE(window->txtDec->text(), QStringLiteral("12345678"));
        QCOMPARE(window->txtHex->text(), QStringLiteral("BC614E"));
    }

    void converterSkipsTextThatIsNoNumber() {
        const auto window = ShowWindow();
        Retype(window->txtDec, QStringLiteral("16"));
        Paste(window->txtDec, QStringLiteral("abc"));
        QCOMPARE(window->txtDec->text(), QStringLiteral("16abc"));
        QCOMPARE(window->txtHex->text(), QStringLiteral("10"));
        Retype(window->txtDec, QStringLiteral("17"));
        QCOMPARE(window->txtHex->text(), QStringLiteral("11"));
    }

    // A ROM deleted after opening is reported while the offset is edited, and never recreated.
    void deletedRomIsReportedByTheOffsetBox() {
        const QString path = WriteRom(folder_, QStringLiteral("gone.gba"), 0x1000);
        const auto window = WindowWithRom(path);
        QVERIFY(QFile::remove(path));
        platform_.taskDialogAnswers = {2};  // Cancel: Ignore
        window->txtOffset->setFocus();
        QTest::keyClicks(window->txtOffset, QStringLiteral("1"));

        QCOMPARE(platform_.taskDialogs.size(), std::size_t{1});
        QCOMPARE(platform_.taskDialogs[0].content.value_or(""),
                 std::string("txtOffset_Change@frmMain"));
        QCOMPARE(window->txtOffset->text(), QStringLiteral("8001"));
        QVERIFY(!QFile::exists(path));
        std::ifstream log(folder_.filePath(QStringLiteral("Bug.log")).toStdString());
        std::stringstream records;
        records << log.rdbuf();
        QVERIFY(records.str().find("|txtOffset_Change|") != std::string::npos);
        QVERIFY(records.str().find("|frmMain|") != std::string::npos);
    }
};

QTEST_MAIN(TestOptionFields)
#include "tst_option_fields.moc"
