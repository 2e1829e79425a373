#include <vkcore/VkLocale.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QWidget>

#include "VkTestMain.h"

namespace {
const char kContext[] = "tst_VkLocale";
const char kSource[] = "Project Settings";
const char kGerman[] = "Projekteinstellungen";

QString translated()
{
    return QCoreApplication::translate(kContext, kSource);
}

// Counts the language changes a widget is told about: that is what makes dialogs retranslate.
class LanguageChangeCounter : public QWidget
{
public:
    // The application posts the change to its windows; deliver what is queued before counting.
    int seen()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        return count;
    }

private:
    int count = 0;

protected:
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::LanguageChange)
            ++count;
        QWidget::changeEvent(event);
    }
};
} // namespace

class tst_VkLocale : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void languageCodes_data();
    void languageCodes();
    void refusesMissingTranslation_data();
    void refusesMissingTranslation();
    void refusesDamagedTranslation();
    void switchesAndRestoresEnglish();

private:
    VkLocale* locale() { return VkSingleton<VkLocale>::instance(); }
    QTemporaryDir m_emptyDir;
};

void tst_VkLocale::init()
{
    QVERIFY(m_emptyDir.isValid());
    qputenv("VK_TRANSLATIONS_DIR", m_emptyDir.path().toLocal8Bit());
    QVERIFY(locale()->setLanguage(VkLocale::LanguageEnglish));
}

void tst_VkLocale::cleanup()
{
    locale()->setLanguage(VkLocale::LanguageEnglish);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_VkLocale::languageCodes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("code");
    // The numbers are fixed: the media pages widen their captions for 4, 6 and 10 and not for 8.
    QTest::newRow("english 1") << 1 << "en";
    QTest::newRow("german 4") << 4 << "de";
    QTest::newRow("french 6") << 6 << "fr";
    QTest::newRow("spanish 8") << 8 << "es";
    QTest::newRow("russian 10") << 10 << "ru";
    QTest::newRow("zero is no language") << 0 << "";
    QTest::newRow("past the last") << 13 << "";
    QTest::newRow("negative") << -4 << "";
}

void tst_VkLocale::languageCodes()
{
    QFETCH(int, type);
    QFETCH(QString, code);
    QCOMPARE(VkLocale::languageCode(static_cast<VkLocale::VkLanguageType>(type)), code);
}

void tst_VkLocale::refusesMissingTranslation_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("french, no file anywhere") << int(VkLocale::LanguageFrench);
    QTest::newRow("russian, no file anywhere") << int(VkLocale::LanguageRussian);
    QTest::newRow("not a language") << 99;
}

void tst_VkLocale::refusesMissingTranslation()
{
    QFETCH(int, type);
    LanguageChangeCounter widget;
    QVERIFY(!locale()->setLanguage(static_cast<VkLocale::VkLanguageType>(type)));
    QCOMPARE(locale()->languageType(), VkLocale::LanguageEnglish);
    QVERIFY(!locale()->lastError().isEmpty());
    // A refused switch must not make every window retranslate into the same language.
    QCOMPARE(widget.seen(), 0);
}

void tst_VkLocale::refusesDamagedTranslation()
{
    QFile damaged(m_emptyDir.filePath(QStringLiteral("vkpopupdialog_de.qm")));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("this is not a compiled translation");
    damaged.close();

    QVERIFY(!locale()->setLanguage(VkLocale::LanguageGerman));
    QCOMPARE(locale()->languageType(), VkLocale::LanguageEnglish);
    QCOMPARE(translated(), QString::fromLatin1(kSource));
    QVERIFY(damaged.remove());
}

void tst_VkLocale::switchesAndRestoresEnglish()
{
    qputenv("VK_TRANSLATIONS_DIR", VK_TEST_QM_DIR);
    LanguageChangeCounter widget;
    QCOMPARE(translated(), QString::fromLatin1(kSource));

    QVERIFY2(locale()->setLanguage(VkLocale::LanguageGerman), qPrintable(locale()->lastError()));
    QCOMPARE(locale()->languageType(), VkLocale::LanguageGerman);
    QCOMPARE(translated(), QString::fromUtf8(kGerman));
    QVERIFY(widget.seen() > 0);

    // A failed switch keeps the German translator installed, not just the recorded type.
    QVERIFY(!locale()->setLanguage(VkLocale::LanguageFrench));
    QCOMPARE(locale()->languageType(), VkLocale::LanguageGerman);
    QCOMPARE(translated(), QString::fromUtf8(kGerman));

    const int changesBefore = widget.seen();
    QVERIFY(locale()->setLanguage(VkLocale::LanguageEnglish));
    QCOMPARE(locale()->languageType(), VkLocale::LanguageEnglish);
    QCOMPARE(translated(), QString::fromLatin1(kSource));
    QVERIFY(widget.seen() > changesBefore);
}

VK_TEST_MAIN(tst_VkLocale)
#include "tst_locale.moc"
