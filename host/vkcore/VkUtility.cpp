#include <vkcore/VkUtility.h>

#include <QLocale>

#include <cmath>

namespace {
constexpr double kUnitStep = 1024.0;
constexpr double kTwoDecimalsBelow = 10.0;
constexpr double kOneDecimalBelow = 100.0;
const char* const kUnits[] = {"B", "KB", "MB", "GB", "TB", "PB", "EB"};
constexpr int kUnitCount = int(sizeof(kUnits) / sizeof(kUnits[0]));

int decimalsFor(double value)
{
    if (value < kTwoDecimalsBelow)
        return 2;
    if (value < kOneDecimalBelow)
        return 1;
    return 0;
}

double roundHalfUp(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::floor(value * scale + 0.5) / scale;
}
} // namespace

QString VkUtility::gGetFileSizeAuto(qint64 bytes)
{
    // The number in the user's own notation (1.5 KB, 1,5 KB); it stays below 1024, so it is never
    // grouped.
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    if (bytes < qint64(kUnitStep))
        return locale.toString(qMax<qint64>(bytes, 0)) + QLatin1String(" B");

    int unit = 0;
    double value = double(bytes);
    while (value >= kUnitStep && unit + 1 < kUnitCount) {
        value /= kUnitStep;
        ++unit;
    }
    int decimals = decimalsFor(value);
    double rounded = roundHalfUp(value, decimals);
    // 1023.7 KB shown as "1024 KB" would break the rule that the number stays below 1024.
    if (rounded >= kUnitStep && unit + 1 < kUnitCount) {
        rounded = roundHalfUp(rounded / kUnitStep, decimalsFor(rounded / kUnitStep));
        ++unit;
        decimals = decimalsFor(rounded);
    }
    QString number = locale.toString(rounded, 'f', decimals);
    if (decimals > 0) {
        while (number.endsWith(locale.zeroDigit()))
            number.chop(1);
        if (number.endsWith(locale.decimalPoint()))
            number.chop(1);
    }
    return number + QLatin1Char(' ') + QLatin1String(kUnits[unit]);
}
