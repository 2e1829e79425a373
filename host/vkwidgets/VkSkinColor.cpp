#include <vkwidgets/VkSkinColor.h>

QString VkSkinColor::Background_Window()
{
    return QStringLiteral("Background_Window");
}

QString VkSkinColor::Background_Panel()
{
    return QStringLiteral("Background_Panel");
}

QString VkSkinColor::Background_Raised()
{
    return QStringLiteral("Background_Raised");
}

QString VkSkinColor::Background_Input()
{
    return QStringLiteral("Background_Input");
}

QString VkSkinColor::Background_Selected()
{
    return QStringLiteral("Background_Selected");
}

QString VkSkinColor::Component_Border()
{
    return QStringLiteral("Component_Border");
}

QString VkSkinColor::Component_Divider_Primary()
{
    return QStringLiteral("Component_Divider_Primary");
}

QString VkSkinColor::Component_Divider_Secondary()
{
    return QStringLiteral("Component_Divider_Secondary");
}

QString VkSkinColor::Text_Primary()
{
    return QStringLiteral("Text_Primary");
}

QString VkSkinColor::Text_Secondary()
{
    return QStringLiteral("Text_Secondary");
}

QString VkSkinColor::Text_Disabled()
{
    return QStringLiteral("Text_Disabled");
}

QString VkSkinColor::Accent_Primary()
{
    return QStringLiteral("Accent_Primary");
}

QString VkSkinColor::Accent_Link()
{
    return QStringLiteral("Accent_Link");
}

QString VkSkinColor::Status_Warning()
{
    return QStringLiteral("Status_Warning");
}

QString VkSkinColor::Status_Error()
{
    return QStringLiteral("Status_Error");
}

QString VkSkinColor::KeyOf(VkColorType type)
{
    switch (type) {
    case BackGround_Panel:
        return Background_Panel();
    case BackGround_Raised:
        return Background_Raised();
    case BackGround_Input:
        return Background_Input();
    case BackGround_Selected:
        return Background_Selected();
    case BackGround_None:
    case BackGround_Window:
        break;
    }
    return Background_Window();
}
