#pragma once

#include <vkwidgets/VkWidgetsExport.h>

class QWidget;

// Style codes carried by widgets as dynamic properties; the theme's style sheet keys on them.
//
// Background colour types ("bgColorType"): the values of VkSkinColor::VkColorType.
// Font types ("fontType"):  1 caption 11 px, 2 body 12 px, 3 body bold 12 px, 4 large 14 px,
//                           5 large bold 14 px, 6 title bold 16 px, 7 list 12 px with line spacing.
// Text colour types ("textColorType"), each a key of the skin's table: 1 Text_Primary,
//                           2 Text_Secondary, 3 Text_Disabled, 4 Accent_Primary, 5 Accent_Link,
//                           6 Status_Warning, 7 Status_Error, 8 Text_List.
class VKWIDGETS_EXPORT VkUIStyle
{
public:
    enum VkFontType
    {
        Font_Default = 0,
        Font_Caption = 1,
        Font_Body = 2,
        Font_BodyBold = 3,
        Font_Large = 4,
        Font_LargeBold = 5,
        Font_Title = 6,
        Font_List = 7,
    };

    enum VkTextColorType
    {
        Text_Default = 0,
        Text_Primary = 1,
        Text_Secondary = 2,
        Text_Disabled = 3,
        Text_Accent = 4,
        Text_Link = 5,
        Text_Warning = 6,
        Text_Error = 7,
        Text_List = 8,
    };

    // Each setter stores the code and repolishes the widget so that the rule applies at once.
    static void SetBGColorType(QWidget* widget, int colorType);
    static void SetFontType(QWidget* widget, int fontType);
    static void SetTextColorType(QWidget* widget, int textColorType);

    // Unpolishes and polishes the widget and every widget below it, so that rules that depend on
    // dynamic properties (such as "selected") follow a property change.
    static void RePolishStyleAllChild(QWidget* widget);
    // The same for the widget alone.
    static void RePolish(QWidget* widget);

    VkUIStyle() = delete;
};
