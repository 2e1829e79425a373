#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <QString>

// Names of the colours a skin defines. Widgets ask the skin for a colour by key
// (VkSkinStyle::GetColor) so that painting code never hard-codes a value of one skin.
class VKWIDGETS_EXPORT VkSkinColor
{
public:
    // Background colour types, the values VkUIStyle::SetBGColorType and VkWidget::SetBGColorType take.
    // The style sheet keys on them through the dynamic property "bgColorType".
    enum VkColorType
    {
        BackGround_None = 0,     // transparent: the parent shows through
        BackGround_Panel = 1,    // panels and pages
        BackGround_Window = 2,   // window body
        BackGround_Raised = 3,   // raised cards and bars
        BackGround_Input = 4,    // text fields
        BackGround_Selected = 5, // a selected row
    };

    static QString Background_Window();
    static QString Background_Panel();
    static QString Background_Raised();
    static QString Background_Input();
    static QString Background_Selected();
    static QString Component_Border();
    static QString Component_Divider_Primary();
    static QString Component_Divider_Secondary();
    static QString Text_Primary();
    static QString Text_Secondary();
    static QString Text_Disabled();
    static QString Accent_Primary();
    static QString Accent_Link();
    static QString Status_Warning();
    static QString Status_Error();

    // The key of a background colour type; an unknown type gives the window background.
    static QString KeyOf(VkColorType type);

    VkSkinColor() = delete;
};
