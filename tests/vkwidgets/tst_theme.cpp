#include "OpenWindows.h"

#include <VkTestMain.h>

#include <vkwidgets/VkDialog.h>
#include <vkwidgets/VkFramelessDialog.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>
#include <vkwidgets/VkUIStyle.h>
#include <vkwidgets/VkWidget.h>

#include <QRegularExpression>
#include <QSvgRenderer>

namespace {

const QColor kPanel(0x26, 0x2b, 0x33);
const QColor kText(0xcd, 0xd5, 0xdd);
const QColor kAccent(0x55, 0xe5, 0xc5);

} // namespace

// The theme: when it reaches the application, what it references, and that its dynamic-property
// rules follow a repolish. The first two tests depend on running first and in this order: the
// theme is applied at most once per process.
class TestTheme : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY2(openWindows().isEmpty(), "a test left a window open"); }
    void hostStyleSheetIsKept();
    void firstWindowAppliesThemeOnce();
    void styleSheetReferencesExistingIcons();
    void selectedPropertyFollowsRepolish();
    void backgroundColourType();
    void styleSheetTakesTheTableColours();
};

// Catches a library that overrides a host's own style sheet.
void TestTheme::hostStyleSheetIsKept()
{
    QVERIFY(!VkSkinStyle::IsThemeApplied());
    const QString host = QStringLiteral("QLabel { color: red; }");
    qApp->setStyleSheet(host);
    {
        VkDialog dialog;
    }
    QCOMPARE(qApp->styleSheet(), host);
    QVERIFY(!VkSkinStyle::IsThemeApplied());
    qApp->setStyleSheet(QString());
}

// Catches a theme that is never applied, or applied again over a later style sheet.
void TestTheme::firstWindowAppliesThemeOnce()
{
    const QString theme = VkSkinStyle::ThemeStyleSheet();
    QVERIFY(theme.size() > 1000);
    {
        VkWidget window;
        QVERIFY(VkSkinStyle::IsThemeApplied());
        QCOMPARE(qApp->styleSheet(), theme);
        QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(0x1f, 0x23, 0x29));
        QCOMPARE(QApplication::palette().color(QPalette::WindowText), kText);
    }
    QVERIFY(!VkSkinStyle::ApplyTheme());

    const QString later = QStringLiteral("QWidget { color: white; }");
    qApp->setStyleSheet(later);
    {
        VkFramelessDialog dialog;
    }
    QCOMPARE(qApp->styleSheet(), later);
    qApp->setStyleSheet(theme);
}

// Catches a renamed or missing icon: the style sheet would silently draw nothing.
void TestTheme::styleSheetReferencesExistingIcons()
{
    const QString theme = VkSkinStyle::ThemeStyleSheet();
    const QRegularExpression urlPattern(QStringLiteral("url\\((:[^)]+)\\)"));
    int references = 0;
    for (auto it = urlPattern.globalMatch(theme); it.hasNext();) {
        const QString path = it.next().captured(1);
        ++references;
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QSvgRenderer renderer(path);
        QVERIFY2(renderer.isValid(), qPrintable(path));
    }
    QVERIFY(references >= 20);
}

// Catches a row whose highlight does not follow the "selected" property after the repolish.
void TestTheme::selectedPropertyFollowsRepolish()
{
    QVERIFY(VkSkinStyle::IsThemeApplied());
    VkWidget row;
    VkLabel* title = VkLabel::CreateLabel(&row, QStringLiteral("SceneDetectionListItem_Title"));
    title->setText(QStringLiteral("Scene 1"));
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    QCOMPARE(title->palette().color(title->foregroundRole()), kText);

    title->setProperty("selected", true);
    VkUIStyle::RePolishStyleAllChild(&row);
    QCOMPARE(title->palette().color(title->foregroundRole()), kAccent);

    title->setProperty("selected", false);
    VkUIStyle::RePolishStyleAllChild(&row);
    QCOMPARE(title->palette().color(title->foregroundRole()), kText);
}

// Catches a colour type that is stored but never painted (plain widgets paint no style sheet
// background unless asked to).
void TestTheme::backgroundColourType()
{
    QWidget window;
    window.resize(60, 60);
    auto* body = new QWidget(&window);
    body->setGeometry(10, 10, 40, 40);
    VkUIStyle::SetBGColorType(body, VkSkinColor::BackGround_Panel);
    QCOMPARE(body->property("bgColorType").toInt(), 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage image = window.grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    QCOMPARE(QColor(image.pixel(QPoint(30, 30) * ratio)), kPanel);
    QVERIFY(QColor(image.pixel(QPoint(2, 2) * ratio)) != kPanel);

    const VkSkinStyle* skin = VkSingleton<VkSkinStyle>::instance();
    QCOMPARE(skin->GetColor(VkSkinColor::KeyOf(VkSkinColor::BackGround_Panel)), kPanel);
    QVERIFY(skin->GetColor(VkSkinColor::Component_Divider_Secondary()) !=
            skin->GetColor(VkSkinColor::Background_Window()));
    QVERIFY(!skin->GetColor(QStringLiteral("No_Such_Key")).isValid());
}

// Catches a style sheet whose colours drift from the table code paints with, or a token the table
// does not know (Qt would silently drop that rule).
void TestTheme::styleSheetTakesTheTableColours()
{
    const QString theme = VkSkinStyle::ThemeStyleSheet();
    QVERIFY2(!theme.contains(QLatin1String("${")),
             qPrintable(theme.mid(theme.indexOf(QLatin1String("${")), 40)));
    const VkSkinStyle* skin = VkSingleton<VkSkinStyle>::instance();
    const QString divider = skin->GetColor(VkSkinColor::Component_Divider_Secondary()).name();
    QVERIFY2(theme.contains(QStringLiteral("QLabel#LineWid { background-color: %1; }").arg(divider)),
             qPrintable(divider));
}

VK_TEST_MAIN(TestTheme)
#include "tst_theme.moc"
