#include "MediaPropertyFakes.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <vkwidgets/VkFramelessDialog.h>
#include <vkwidgets/VkPushButtonBar.h>
#include <vkwidgets/VkTopLevelWindowTitleBar.h>

#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTranslator>

#include <algorithm>

using namespace MediaPropertyProbe;

namespace {

const char kCommon[] = "VkCommonInfoPage";
const char kVideo[] = "VkVideoInfoPage";
const char kAudio[] = "VkAudioInfoPage";
const char kPhoto[] = "VkPhotoInfoPage";
const char kPng[] = "VkPngPhotoInfoPage";

// The tallest the frame lets the properties window open; taller page stacks scroll.
constexpr int kMaxHeight = 690;

QPushButton* okButton(const QWidget& dialog)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("PropertyDialog_Ok"));
}

QRadioButton* radio(const QWidget& dialog, const QString& text)
{
    for (QRadioButton* button : dialog.findChildren<QRadioButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// Prefixes every text it is asked for, standing in for a real translation.
class MarkingTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation = nullptr,
                      int n = -1) const override
    {
        Q_UNUSED(context)
        Q_UNUSED(disambiguation)
        Q_UNUSED(n)
        return QStringLiteral("[de] ") + QString::fromUtf8(source);
    }
};

} // namespace

// The window around the pages: which pages a kind of media gets and in what order, how tall the
// window opens, and what OK and cancel hand back to the host and the item.
class TestMediaPropertyDialog : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void pagesAndHeightByKind_data();
    void pagesAndHeightByKind();
    void okWithoutChangesEmitsNothingButWritesAlpha();
    void rename_data();
    void rename();
    void renameIsReportedBeforeAlphaWriteAndClose();
    void alphaChoiceIsWrittenOnlyOnOk_data();
    void alphaChoiceIsWrittenOnlyOnOk();
    void modalRunEndsWithOne();
    void retranslateKeepsValues();
};

void TestMediaPropertyDialog::pagesAndHeightByKind_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("stock");
    QTest::addColumn<QString>("sourcePath");
    QTest::addColumn<QStringList>("pages");
    // -1: the window keeps the height of a bare frame, i.e. it was never resized.
    QTest::addColumn<int>("height");

    const QStringList common{kCommon};
    // Heights are the page heights plus the frame's 82: common 252, video 180, audio 260, photo 211,
    // PNG 175. Sums above 690 are clamped to 690 by the frame's fixed size.
    QTest::newRow("video only: 252+180+82") << 1 << false << "a.mp4" << QStringList{kCommon, kVideo} << 514;
    QTest::newRow("audio only: 252+260+82") << 2 << false << "a.wav" << QStringList{kCommon, kAudio} << 594;
    QTest::newRow("video+audio: 252+180+260+82=774, clamped")
        << 3 << false << "a.mp4" << QStringList{kCommon, kVideo, kAudio} << kMaxHeight;
    QTest::newRow("stock video+audio drops audio: 252+180+82")
        << 3 << true << "a.mp4" << QStringList{kCommon, kVideo} << 514;
    QTest::newRow("png: 211+82+252+175=720, clamped")
        << 4 << false << "/m/a.png" << QStringList{kCommon, kPhoto, kPng} << kMaxHeight;
    QTest::newRow("upper-case PNG suffix")
        << 4 << false << "/m/A.PNG" << QStringList{kCommon, kPhoto, kPng} << kMaxHeight;
    QTest::newRow("apng contains PNG")
        << 4 << false << "/m/a.apng" << QStringList{kCommon, kPhoto, kPng} << kMaxHeight;
    QTest::newRow("jpg: 211+82+252") << 4 << false << "/m/a.jpg" << QStringList{kCommon, kPhoto} << 545;
    // The suffix is the part after the last dot: "png.jpg" is a JPEG.
    QTest::newRow("png in the base name only")
        << 4 << false << "/m/a.png.jpg" << QStringList{kCommon, kPhoto} << 545;
    QTest::newRow("no stream flags") << 0 << false << "a.bin" << common << -1;
    QTest::newRow("unlisted flags 5") << 5 << false << "a.bin" << common << -1;
    QTest::newRow("unlisted flags 7") << 7 << false << "a.bin" << common << -1;
    // -2 stands for an item without media information: it gets the same window as an unlisted kind.
    QTest::newRow("no media information") << -2 << false << "a.bin" << common << -1;
}

void TestMediaPropertyDialog::pagesAndHeightByKind()
{
    QFETCH(int, flags);
    QFETCH(bool, stock);
    QFETCH(QString, sourcePath);
    QFETCH(QStringList, pages);
    QFETCH(int, height);

    FakeMediaInfo info;
    info.streamFlags = flags;
    FakeStockItem item;
    item.stock = stock;
    item.info = flags == -2 ? nullptr : &info;
    item.sourcePath = sourcePath;
    // The file the item plays may differ from its source; the PNG test reads the source.
    item.filePath = QStringLiteral("/cache/proxy.bin");

    VkMediaPropertyDialog dialog(&item, nullptr);
    QCOMPARE(pageClasses(&dialog), pages);
    QCOMPARE(dialog.width(), 480);
    if (height < 0) {
        VkFramelessDialog bare(nullptr, true, true);
        bare.SetFixedSize(VkDialog::Width_Small, kMaxHeight);
        QCOMPARE(dialog.height(), bare.height());
        QVERIFY(dialog.height() != 514 && dialog.height() != 545 && dialog.height() != 594);
    } else {
        QCOMPARE(dialog.height(), height);
    }
    // Even the smallest window has its OK button in the bottom bar and its pages in the body.
    QPushButton* ok = okButton(dialog);
    QVERIFY(ok);
    QVERIFY(dialog.ButtonBar()->isAncestorOf(ok));
    QCOMPARE(dialog.ContentWidget(), dialog.findChild<QScrollArea*>());
}

void TestMediaPropertyDialog::okWithoutChangesEmitsNothingButWritesAlpha()
{
    FakeMediaInfo info;
    info.streamFlags = 4;
    info.alphaType = 1;
    FakeItem item;
    item.info = &info;
    item.sourcePath = QStringLiteral("/m/logo.png");

    VkMediaPropertyDialog dialog(&item, nullptr);
    QSignalSpy renamed(&dialog, &VkMediaPropertyDialog::sigNameChanged);
    QSignalSpy finished(&dialog, &QDialog::finished);
    QVERIFY(radio(dialog, QStringLiteral("Premultiplied Alpha"))->isChecked());

    okButton(dialog)->click();

    QCOMPARE(renamed.count(), 0);
    // The unchanged choice is written back all the same.
    QCOMPARE(info.alphaWrites, QVector<int>{1});
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), 1);
    QVERIFY(item.renames.isEmpty());
}

void TestMediaPropertyDialog::rename_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("alternate");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("emitted");

    QTest::newRow("blanks around a new name are trimmed") << "clip"
                                                          << ""
                                                          << "  Holiday  " << QStringList{"Holiday"};
    QTest::newRow("only blanks") << "clip"
                                 << ""
                                 << "   \t " << QStringList();
    QTest::newRow("empty") << "clip"
                           << ""
                           << "" << QStringList();
    QTest::newRow("same name with a trailing blank") << "clip"
                                                     << ""
                                                     << "clip " << QStringList();
    QTest::newRow("case differs") << "clip"
                                  << ""
                                  << "Clip" << QStringList{"Clip"};
    // The shown name was the alternate one; leaving it as it is renames nothing.
    QTest::newRow("alternate name untouched") << ""
                                              << "alt"
                                              << "alt" << QStringList();
    QTest::newRow("unnamed untouched") << ""
                                       << ""
                                       << "unnamed" << QStringList();
    QTest::newRow("markup is a name like any other") << "clip"
                                                     << ""
                                                     << "<b>x</b>" << QStringList{"<b>x</b>"};
}

void TestMediaPropertyDialog::rename()
{
    QFETCH(QString, name);
    QFETCH(QString, alternate);
    QFETCH(QString, typed);
    QFETCH(QStringList, emitted);

    FakeMediaInfo info;
    info.streamFlags = 1;
    FakeItem item;
    item.info = &info;
    item.name = name;
    item.alternateName = alternate;

    VkMediaPropertyDialog dialog(&item, nullptr);
    auto* nameEdit = dialog.findChild<QLineEdit*>(QStringLiteral("VkCommonInfoPage_NameLineEdit"));
    QVERIFY(nameEdit);
    nameEdit->setText(typed);
    QSignalSpy renamed(&dialog, &VkMediaPropertyDialog::sigNameChanged);
    okButton(dialog)->click();

    QStringList got;
    for (const QList<QVariant>& args : renamed)
        got << args.at(0).toString();
    QCOMPARE(got, emitted);
    QCOMPARE(dialog.result(), 1);
    // The dialog reports; renaming is the host's business.
    QVERIFY(item.renames.isEmpty());
    QCOMPARE(item.name, name);
}

void TestMediaPropertyDialog::renameIsReportedBeforeAlphaWriteAndClose()
{
    FakeMediaInfo info;
    info.streamFlags = 4;
    info.alphaType = 0;
    FakeItem item;
    item.info = &info;
    item.sourcePath = QStringLiteral("/m/logo.png");

    VkMediaPropertyDialog dialog(&item, nullptr);
    QStringList order;
    connect(&dialog, &VkMediaPropertyDialog::sigNameChanged, &dialog, [&](const QString& newName) {
        order << QStringLiteral("renamed %1, alpha writes %2, visible result %3")
                     .arg(newName)
                     .arg(info.alphaWrites.size())
                     .arg(dialog.result());
    });
    connect(&dialog, &QDialog::finished, &dialog, [&](int result) {
        order << QStringLiteral("finished %1, alpha writes %2").arg(result).arg(info.alphaWrites.size());
    });
    dialog.findChild<QLineEdit*>(QStringLiteral("VkCommonInfoPage_NameLineEdit"))
        ->setText(QStringLiteral("Logo"));
    okButton(dialog)->click();

    QCOMPARE(order, (QStringList{QStringLiteral("renamed Logo, alpha writes 0, visible result 0"),
                                 QStringLiteral("finished 1, alpha writes 1")}));
}

void TestMediaPropertyDialog::alphaChoiceIsWrittenOnlyOnOk_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QVector<int>>("writes");

    QTest::newRow("ignore, then OK") << 1 << QStringList{"Ignore Alpha"} << true << QVector<int>{2};
    QTest::newRow("ignore, then cancel") << 1 << QStringList{"Ignore Alpha"} << false << QVector<int>();
    // Switching away and back: only the toggle of the button being checked counts.
    QTest::newRow("ignore, back to premultiplied")
        << 1 << QStringList{"Ignore Alpha", "Premultiplied Alpha"} << true << QVector<int>{1};
    QTest::newRow("straight after ignore")
        << 0 << QStringList{"Ignore Alpha", "Straight Alpha"} << true << QVector<int>{0};
    // A code no button stands for stays as it was unless the user picks one.
    QTest::newRow("unknown stored code kept") << 7 << QStringList() << true << QVector<int>{7};
    QTest::newRow("unknown stored code replaced")
        << 7 << QStringList{"Straight Alpha"} << true << QVector<int>{0};
}

void TestMediaPropertyDialog::alphaChoiceIsWrittenOnlyOnOk()
{
    QFETCH(int, stored);
    QFETCH(QStringList, clicks);
    QFETCH(bool, accept);
    QFETCH(QVector<int>, writes);

    FakeMediaInfo info;
    info.streamFlags = 4;
    info.alphaType = stored;
    FakeItem item;
    item.info = &info;
    item.sourcePath = QStringLiteral("/m/logo.png");

    VkMediaPropertyDialog dialog(&item, nullptr);
    const QList<QRadioButton*> buttons = dialog.findChildren<QRadioButton*>();
    QCOMPARE(buttons.size(), 3);
    const int checkedAtStart =
        int(std::count_if(buttons.begin(), buttons.end(), [](QRadioButton* b) { return b->isChecked(); }));
    QCOMPARE(checkedAtStart, stored >= 0 && stored <= 2 ? 1 : 0);

    for (const QString& text : clicks) {
        QRadioButton* button = radio(dialog, text);
        QVERIFY2(button, qPrintable(text));
        button->click();
    }
    QVERIFY(info.alphaWrites.isEmpty());

    if (accept) {
        okButton(dialog)->click();
        QCOMPARE(dialog.result(), 1);
    } else {
        QVERIFY(QMetaObject::invokeMethod(&dialog, "slotCancel"));
        QCOMPARE(dialog.result(), 0);
    }
    QCOMPARE(info.alphaWrites, writes);
}

void TestMediaPropertyDialog::modalRunEndsWithOne()
{
    FakeMediaInfo info;
    info.streamFlags = 2;
    FakeItem item;
    item.info = &info;

    VkMediaPropertyDialog dialog(&item, nullptr);
    QTimer::singleShot(0, &dialog, [&dialog] {
        okButton(dialog)->click();
        // Should OK fail to close the window, end the run with a code the test cannot mistake.
        if (dialog.isVisible())
            dialog.done(-1);
    });
    QCOMPARE(dialog.DoModal(), 1);
}

void TestMediaPropertyDialog::retranslateKeepsValues()
{
    FakeMediaInfo info;
    info.streamFlags = 4;
    FakeItem item;
    item.info = &info;
    item.sourcePath = QStringLiteral("/m/a.jpg");

    VkMediaPropertyDialog dialog(&item, nullptr);
    QWidget* common = page(&dialog, kCommon);
    QCOMPARE(dialog.GetTitleBar()->TitleName(), QStringLiteral("Properties"));
    QCOMPARE(okButton(dialog)->text(), QStringLiteral("OK"));
    QCOMPARE(text(common, 4, 0), QStringLiteral("Duration:"));
    QCOMPARE(text(common, 4), QStringLiteral("None"));

    MarkingTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);

    QCOMPARE(dialog.GetTitleBar()->TitleName(), QStringLiteral("[de] Properties"));
    QCOMPARE(okButton(dialog)->text(), QStringLiteral("[de] OK"));
    QCOMPARE(text(common, 4, 0), QStringLiteral("[de] Duration:"));
    QCOMPARE(text(page(&dialog, kPhoto), 1, 0), QStringLiteral("[de] Camera Maker:"));
    // Values were made when the page was built and keep that language.
    QCOMPARE(text(common, 4), QStringLiteral("None"));

    QVERIFY(QCoreApplication::removeTranslator(&translator));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(okButton(dialog)->text(), QStringLiteral("OK"));
}

VK_TEST_MAIN(TestMediaPropertyDialog)
#include "tst_mediapropertydialog.moc"
