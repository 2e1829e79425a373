#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QString>

class VKVBLMODEL_EXPORT VkProjectSuffixHelper
{
public:
    // The suffix of project files, without the dot.
    static QString projectFileSuffix();

    VkProjectSuffixHelper() = delete;
};
