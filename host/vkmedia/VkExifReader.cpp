#include "VkExifReader.h"

#include <exiv2/exiv2.hpp>

#include <exception>
#include <mutex>

namespace vkmedia {

namespace {

std::string trimmed(std::string text)
{
    // Cameras pad their strings with blanks and NULs to a fixed field width.
    const char* blanks = " \t\r\n";
    while (!text.empty() &&
           (text.back() == '\0' || std::string(blanks).find(text.back()) != std::string::npos))
        text.pop_back();
    const size_t first = text.find_first_not_of(blanks);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string textOf(const Exiv2::ExifData& exif, const char* key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end())
        return {};
    return trimmed(it->toString());
}

} // namespace

bool VkExifReader::read(const std::string& path, Facts& facts)
{
    facts = Facts();
    static std::once_flag quiet;
    // Exiv2 prints every oddity of a damaged file to stderr; the caller only needs the facts.
    std::call_once(quiet, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
    try {
        auto image = Exiv2::ImageFactory::open(path);
        if (!image.get())
            return false;
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        if (exif.empty())
            return false;
        facts.maker = textOf(exif, "Exif.Image.Make");
        facts.model = textOf(exif, "Exif.Image.Model");
        const auto exposure = exif.findKey(Exiv2::ExifKey("Exif.Photo.ExposureTime"));
        if (exposure != exif.end() && exposure->count() > 0) {
            const Exiv2::Rational r = exposure->toRational(0);
            if (r.first > 0 && r.second > 0)
                facts.exposureTime = VkRational{r.first, r.second};
        }
        return true;
    } catch (const std::exception&) {
        // Exiv2 reports unreadable or unknown files by throwing; for us that only means no EXIF.
        facts = Facts();
        return false;
    }
}

} // namespace vkmedia
