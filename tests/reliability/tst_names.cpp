#include "BadMediaFiles.h"
#include "MediaPropertyFakes.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <startup/VkStartupDlg.h>
#include <startup/VkStartupListItem.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextDocument>

using namespace MediaPropertyProbe;

namespace {

// One file name on Linux holds at most 255 bytes; 300 characters go into names that are not file
// names (the library name of an item, a project's listed name, an author).
constexpr int kLongName = 300;
constexpr int kLongFileName = 200;

QString longName(int length)
{
    QString name;
    for (int i = 0; name.size() < length; ++i)
        name += QString::number(i % 10);
    return name;
}

// What a label puts on screen: its text itself when plain, the text of the markup otherwise.
QString shownText(const QLabel* label)
{
    if (label->textFormat() == Qt::PlainText)
        return label->text();
    QTextDocument doc;
    doc.setHtml(label->text());
    return doc.toPlainText();
}

QStringList allShownTexts(const QWidget* window)
{
    QStringList texts;
    for (const QLabel* label : window->findChildren<QLabel*>())
        texts << shownText(label);
    return texts;
}

bool anyContains(const QStringList& texts, const QString& part)
{
    for (const QString& t : texts) {
        if (t.contains(part))
            return true;
    }
    return false;
}

} // namespace

// Names chosen by users and by other sites reach the dialogs as they are: markup that must stay
// text, line breaks, right-to-left marks and very long names. Each must show as typed (or elided),
// never as formatting, and never break the window.
class tst_Names : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void fileNames_data();
    void fileNames();
    void projectNames_data();
    void projectNames();
    void authorNames_data();
    void authorNames();

private:
    void addRows(bool fileNameSafe);
    QTemporaryDir m_work;
};

void tst_Names::initTestCase()
{
    QString message;
    QVERIFY2(BadMediaFiles::ensure(&message), qPrintable(message));
    QVERIFY(m_work.isValid());
}

void tst_Names::addRows(bool fileNameSafe)
{
    QTest::addColumn<QString>("name");
    // A file name cannot hold "/", so closing tags are left out where the name is one.
    QTest::newRow("markup") << (fileNameSafe
                                    ? QStringLiteral("<b>bold <i>&amp; <img src=x> <font color=red>link")
                                    : QStringLiteral("<b>bold</b> <img src=x> &amp; <a href='x'>link</a>"));
    QTest::newRow("newlines") << QStringLiteral("first line\nsecond line\r\nthird");
    // U+202E turns the rest around on screen ("gpj.exe" shown as "exe.jpg"); U+200F is a bare mark.
    QTest::newRow("right-to-left marks")
        << QStringLiteral("holiday\u202Egpj.exe\u200F \u05E9\u05DC\u05D5\u05DD");
    QTest::newRow("placeholders") << QStringLiteral("50%1 off %2 %%3");
    QTest::newRow("long") << longName(fileNameSafe ? kLongFileName : kLongName);
}

void tst_Names::fileNames_data()
{
    addRows(true);
}

void tst_Names::fileNames()
{
    QFETCH(QString, name);
    const QString path = m_work.filePath(name + QStringLiteral(".jpg"));
    QFile::remove(path);
    QVERIFY(QFile::copy(BadMediaFiles::path("small.jpg"), path));

    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(path, &error);
    QVERIFY2(item, qPrintable(error));
    VkMediaPropertyDialog dialog(item.get(), nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    QWidget* common = page(&dialog, "VkCommonInfoPage");
    // The name edit holds the file's name without its suffix, character for character.
    QCOMPARE(text(common, 0), name);
    QCOMPARE(text(common, 2), QFileInfo(path).absoluteFilePath());
    // No label turned any of it into formatting.
    QVERIFY(!anyContains(allShownTexts(&dialog), QStringLiteral("bold & ")));
    QVERIFY(dialog.width() <= 1000);
}

void tst_Names::projectNames_data()
{
    addRows(false);
}

void tst_Names::projectNames()
{
    QFETCH(QString, name);
    const QString project =
        m_work.filePath(QStringLiteral("listed.") + VkProjectSuffixHelper::projectFileSuffix());
    QVERIFY(BadMediaFiles::write(project, R"({"format": "vkproject", "version": 1})"));
    const QJsonArray recent{QJsonObject{
        {"name", name}, {"path", project}, {"createTime", 1700000000}, {"modifyTime", 1700000000}}};
    QVERIFY(
        BadMediaFiles::write(QDir(qEnvironmentVariable("VK_HOME")).filePath(QStringLiteral("recent.json")),
                             QJsonDocument(recent).toJson()));
    IVkProjectRecentManager::getInstance()->reload();

    VkStartupDlg dialog(nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("VkStartupDlg_ProjectListWidget"));
    QVERIFY(list);
    QCOMPARE(list->count(), 1);
    auto* row = qobject_cast<VkStartupListItem*>(list->itemWidget(list->item(0)));
    QVERIFY(row);
    auto* label = row->findChild<QLabel*>(QStringLiteral("VkStartupListItem_Name"));
    QVERIFY(label);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    // Shown whole or elided at the right, so what is shown is the name's own beginning.
    const QString shown = label->text();
    const QString stem = shown.endsWith(QChar(0x2026)) ? shown.chopped(1) : shown;
    QVERIFY2(!stem.isEmpty() && name.startsWith(stem), qPrintable(shown));
    // The row keeps its height: nothing long or multi-line pushed the list around.
    QCOMPARE(list->visualItemRect(list->item(0)).height(), list->item(0)->sizeHint().height());
}

void tst_Names::authorNames_data()
{
    addRows(false);
}

void tst_Names::authorNames()
{
    QFETCH(QString, name);
    const QString path = m_work.filePath(QStringLiteral("stock.jpg"));
    QFile::remove(path);
    QVERIFY(QFile::copy(BadMediaFiles::path("small.jpg"), path));
    const QJsonObject stock{{"site", 2},
                            {"source", 1000},
                            {"authorName", name},
                            {"authorUrl", "https://example.com/users/\"><script>"},
                            {"licenseUrl", "https://example.com/license"}};
    // The library name of the item carries the same name: it is what the name edit shows.
    QVERIFY(BadMediaFiles::write(path + QStringLiteral(".vkmeta.json"),
                                 QJsonDocument(QJsonObject{{"name", name}, {"stock", stock}}).toJson()));

    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(path, &error);
    QVERIFY2(item, qPrintable(error));
    QVERIFY(item->IsStockMedia());
    VkMediaPropertyDialog dialog(item.get(), nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    QWidget* common = page(&dialog, "VkCommonInfoPage");
    QCOMPARE(text(common, 0), name);
    // The credit is markup of our own around the name: on screen the name appears as typed, with
    // no placeholder of the template filled from it.
    auto* credit = qobject_cast<QLabel*>(cell(common, 8, 1));
    QVERIFY(credit);
    QString expected = name;
    // Rich text folds line breaks into blanks.
    expected.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    QVERIFY2(shownText(credit).contains(expected), qPrintable(shownText(credit)));
    QVERIFY(!credit->text().contains(QLatin1String("<script>")));
}

VK_TEST_MAIN(tst_Names)
#include "tst_names.moc"
