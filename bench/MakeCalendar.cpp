// make-calendar [--photos] YEARS OUT_DIR: writes a synthetic family calendar project for the
// benchmark.
// The page design and its art are the sample project's; the navigation data covers YEARS
// years from 2015: about a third of the days have entries, with one to four contents each,
// photo slideshows and ten video titles of three chapters. Every entry has a thumbnail and a
// highlighted thumbnail file of its own: flat diagonal bands, or with --photos a photograph-like
// picture (soft light and shade with a grain in every pixel, which compresses as a camera's
// photo does). The same arguments always give the same bytes.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/PhotoPattern.h"
#include "host/pictures/PngWriter.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFirstYear = 2015;
constexpr int kTitles = 10;
constexpr int kChaptersPerTitle = 3;
constexpr int kThumbWidth = 320;
constexpr int kThumbHeight = 180;

using merrowbench::Random;

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool writeText(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

// Two digits, for the months, days, hours and minutes of identifiers and times.
std::string two(int n) {
    const std::string digits = std::to_string(n);
    return digits.size() < 2 ? "0" + digits : digits;
}

// A picture of its own for every entry: diagonal bands whose colours come from the entry's
// number; the highlighted one is lighter and framed.
void drawBands(uint32_t number, bool highlighted, std::vector<uint8_t>& rows) {
    const uint8_t base[3] = {static_cast<uint8_t>(number * 37), static_cast<uint8_t>(number * 91),
                             static_cast<uint8_t>(number * 53)};
    size_t at = 0;
    for (int y = 0; y < kThumbHeight; ++y) {
        for (int x = 0; x < kThumbWidth; ++x) {
            const bool frame =
                highlighted && (x < 6 || y < 6 || x >= kThumbWidth - 6 || y >= kThumbHeight - 6);
            const int band = ((x + y + static_cast<int>(number)) / 24) % 4;
            for (int c = 0; c < 3; ++c) {
                int value = base[c] / 2 + band * 32 + (x * (c + 1)) / 16;
                if (highlighted) value = value / 2 + 128;
                rows[at++] = frame ? 255 : static_cast<uint8_t>(value & 0xff);
            }
        }
    }
}

// A photograph-like picture: a sky-to-ground gradient, a few soft bright and dark patches
// (faces, windows, shade) and a grain of about +-20 in every channel of every pixel, all drawn
// from the entry's number.
void drawPhoto(uint32_t number, std::vector<uint8_t>& rows) {
    Random random(0x9e3779b97f4a7c15ull ^ number);
    merrowbench::PhotoPattern pattern;
    pattern.width = kThumbWidth;
    pattern.height = kThumbHeight;
    pattern.smallestPatch = 20;
    pattern.patchRange = 70;
    pattern.grain = 20;
    merrowbench::drawPhotoPattern(random, pattern, rows.data());
}

// The entry's picture; a highlighted photo is lighter and framed as the bands are.
bool writeThumbnail(const fs::path& file, uint32_t number, bool photos, bool highlighted,
                    std::string* error) {
    merrowhost::PngPicture picture;
    picture.width = kThumbWidth;
    picture.height = kThumbHeight;
    picture.colourType = merrowhost::PngPicture::ColourType::Rgb;
    picture.rows.resize(static_cast<size_t>(kThumbWidth) * kThumbHeight * 3);
    if (!photos) {
        drawBands(number, highlighted, picture.rows);
        return merrowhost::writePng(file.string(), picture, error);
    }
    drawPhoto(number, picture.rows);
    if (highlighted) {
        size_t at = 0;
        for (int y = 0; y < kThumbHeight; ++y) {
            for (int x = 0; x < kThumbWidth; ++x) {
                const bool frame = x < 6 || y < 6 || x >= kThumbWidth - 6 || y >= kThumbHeight - 6;
                for (int c = 0; c < 3; ++c, ++at) {
                    picture.rows[at] =
                        frame ? 255 : static_cast<uint8_t>((picture.rows[at] / 2 + 128) & 0xff);
                }
            }
        }
    }
    return merrowhost::writePng(file.string(), picture, error);
}

struct Generator {
    fs::path out;
    std::ostringstream navigation;
    std::ostringstream providers;
    uint32_t pictures = 0;
    bool photos = false;
    std::string error;

    // A provider with two new picture files; false when a file cannot be written.
    bool thumbnail(const std::string& id, int width, int height) {
        const uint32_t number = ++pictures;
        const std::string name = "gen/" + id;
        if (!writeThumbnail(out / "art" / (name + ".png"), number, photos, false, &error) ||
            !writeThumbnail(out / "art" / (name + "_hl.png"), number, photos, true, &error)) {
            return false;
        }
        providers << "        <thumbnail id=\"" << id << "\" image=\"art/" << name
                  << ".png\" imageHighlight=\"art/" << name << "_hl.png\" width=\"" << width
                  << "\" height=\"" << height << "\"/>\n";
        return true;
    }
};

struct Content {
    bool title = false;
    int photos = 0;
    int startFrame = 0;
    int titleNumber = 0;
    std::string time;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace std::chrono;
    Generator gen;
    if (argc == 4 && std::string(argv[1]) == "--photos") {
        gen.photos = true;
        ++argv;
        --argc;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-calendar [--photos] YEARS OUT_DIR\n");
        return 2;
    }
    const int years = std::atoi(argv[1]);
    if (years < 1 || years > 100) {
        std::fprintf(stderr, "make-calendar: YEARS must be 1 to 100\n");
        return 2;
    }
    const fs::path sample = fs::path(MERROWKIT_SOURCE_DIR) / "samples" / "calendar";
    gen.out = argv[2];
    std::error_code failed;
    fs::remove_all(gen.out, failed);
    fs::create_directories(gen.out / "art" / "gen", failed);
    if (failed) {
        std::fprintf(stderr, "make-calendar: %s: %s\n", argv[2], failed.message().c_str());
        return 1;
    }
    for (const auto& entry : fs::directory_iterator(sample / "art")) {
        fs::copy_file(entry.path(), gen.out / "art" / entry.path().filename(), failed);
        if (failed) {
            std::fprintf(stderr, "make-calendar: %s: %s\n", entry.path().c_str(),
                         failed.message().c_str());
            return 1;
        }
    }

    // The sample's page design: everything before its navigation data.
    const std::string design = readText(sample / "presentation.xml");
    const size_t navigationAt = design.find("    <navigationInfo>");
    if (navigationAt == std::string::npos) {
        std::fprintf(stderr, "make-calendar: the sample has no navigation data\n");
        return 1;
    }

    Random random(20150101);
    int slideshowPhotos = 0;
    int nextTitle = 0;
    std::ostringstream& nav = gen.navigation;
    int allTitles = 0;
    int allPhotos = 0;
    std::ostringstream yearsText;
    for (int y = kFirstYear; y < kFirstYear + years; ++y) {
        std::ostringstream monthsText;
        int yearTitles = 0;
        int yearPhotos = 0;
        for (unsigned m = 1; m <= 12; ++m) {
            const year_month first{year{y}, month{m}};
            const int length =
                static_cast<int>(static_cast<unsigned>(year_month_day_last{first / last}.day()));
            const int shift = static_cast<int>(weekday{sys_days{first / 1}}.c_encoding());
            std::ostringstream daysText;
            int monthTitles = 0;
            int monthPhotos = 0;
            for (int d = 1; d <= length; ++d) {
                if (random.below(3) != 0) continue;
                const std::string day =
                    std::to_string(y) + "_" + two(static_cast<int>(m)) + "_" + two(d);
                std::vector<Content> contents(static_cast<size_t>(1 + random.below(4)));
                int minutes = 8 * 60 + random.below(120);
                for (Content& content : contents) {
                    content.time = two(minutes / 60) + ":" + two(minutes % 60);
                    minutes += 30 + random.below(150);
                    if (minutes >= 24 * 60) minutes = 23 * 60 + 59;
                    content.title = random.below(5) == 0;
                    if (content.title) {
                        content.titleNumber = 1 + (nextTitle++ % kTitles);
                    } else {
                        content.photos = 1 + random.below(30);
                        content.startFrame = slideshowPhotos;
                        slideshowPhotos += content.photos;
                    }
                }
                int dayTitles = 0;
                int dayPhotos = 0;
                std::ostringstream contentsText;
                for (size_t c = 0; c < contents.size(); ++c) {
                    const Content& content = contents[c];
                    const std::string id = "Content_" + day + "_" + std::to_string(c + 1);
                    if (!gen.thumbnail("TH_CONTENT_" + day + "_" + std::to_string(c + 1), 288,
                                       162)) {
                        std::fprintf(stderr, "make-calendar: %s\n", gen.error.c_str());
                        return 1;
                    }
                    contentsText << "                        <contentInfo id=\"" << id
                                 << "\" content=\"" << content.time << "\"";
                    if (content.title) {
                        ++dayTitles;
                        contentsText << " titleInfoID=\"UserTitle_" << content.titleNumber << "\"";
                    } else {
                        dayPhotos += content.photos;
                        contentsText << " PHOTO_NUMBER=\"" << content.photos << "\" startFrame=\""
                                     << content.startFrame << "\"";
                    }
                    contentsText << " thumbnailId=\"TH_CONTENT_" << day << "_" << (c + 1)
                                 << "\"/>\n";
                }
                if (!gen.thumbnail("TH_DAY_" + day, 224, 126)) {
                    std::fprintf(stderr, "make-calendar: %s\n", gen.error.c_str());
                    return 1;
                }
                daysText << "                    <dayInfo id=\"Day_" << day << "\" index=\""
                         << (d - 1) << "\" TITLE_NUMBER=\"" << dayTitles << "\" PHOTO_NUMBER=\""
                         << dayPhotos << "\" thumbnailId=\"TH_DAY_" << day << "\">\n"
                         << contentsText.str() << "                    </dayInfo>\n";
                monthTitles += dayTitles;
                monthPhotos += dayPhotos;
            }
            if (daysText.str().empty()) continue;
            const std::string month = std::to_string(y) + "_" + two(static_cast<int>(m));
            if (!gen.thumbnail("TH_MONTH_" + month, 224, 126)) {
                std::fprintf(stderr, "make-calendar: %s\n", gen.error.c_str());
                return 1;
            }
            monthsText << "                <monthInfo id=\"Month_" << month << "\" index=\""
                       << (m - 1) << "\" firstdayShift=\"" << shift << "\" monthDays=\"" << length
                       << "\" TITLE_NUMBER=\"" << monthTitles << "\" PHOTO_NUMBER=\"" << monthPhotos
                       << "\" thumbnailId=\"TH_MONTH_" << month << "\">\n"
                       << daysText.str() << "                </monthInfo>\n";
            yearTitles += monthTitles;
            yearPhotos += monthPhotos;
        }
        const std::string yearId = std::to_string(y);
        if (!gen.thumbnail("TH_YEAR_" + yearId, 320, 180)) {
            std::fprintf(stderr, "make-calendar: %s\n", gen.error.c_str());
            return 1;
        }
        // The sample's two year captions, taken in turn.
        gen.providers << "        <text id=\"TX_YEAR_" << yearId << "\" image=\"art/text_"
                      << (y % 2 == 0 ? "2024" : "2023") << ".png\" width=\"200\" height=\"40\"/>\n";
        yearsText << "            <yearInfo id=\"Year_" << yearId << "\" content=\"" << yearId
                  << "\" TITLE_NUMBER=\"" << yearTitles << "\" PHOTO_NUMBER=\"" << yearPhotos
                  << "\" thumbnailId=\"TH_YEAR_" << yearId << "\" textId=\"TX_YEAR_" << yearId
                  << "\">\n"
                  << monthsText.str() << "            </yearInfo>\n";
        allTitles += yearTitles;
        allPhotos += yearPhotos;
    }
    nav << "    <navigationInfo>\n        <dateInfo TITLE_NUMBER=\"" << allTitles
        << "\" PHOTO_NUMBER=\"" << allPhotos << "\">\n"
        << yearsText.str() << "        </dateInfo>\n    </navigationInfo>\n";

    std::ostringstream titles;
    titles << "    <titlesInfo>\n";
    for (int t = 1; t <= kTitles; ++t) {
        titles << "        <titleInfo id=\"UserTitle_" << t << "\">\n";
        for (int c = 1; c <= kChaptersPerTitle; ++c) {
            const std::string chapter = std::to_string(t) + "_" + std::to_string(c);
            titles << "            <chapterInfo id=\"Chapter_" << chapter << "\" index=\"" << c
                   << "\" thumbnailId=\"TH_CHAPTER_" << chapter << "\" textId=\"TX_CHAPTER_"
                   << chapter << "\"/>\n";
            // The sample's chapter pictures, taken in turn.
            const std::string art = "art/chapter_1_" + std::to_string(c);
            gen.providers << "        <thumbnail id=\"TH_CHAPTER_" << chapter << "\" image=\""
                          << art << ".png\" imageHighlight=\"" << art
                          << "_hl.png\" width=\"320\" height=\"180\"/>\n"
                          << "        <text id=\"TX_CHAPTER_" << chapter
                          << "\" image=\"art/text_chapter_" << c
                          << ".png\" width=\"320\" height=\"36\"/>\n";
        }
        titles << "        </titleInfo>\n";
    }
    titles << "    </titlesInfo>\n";

    const std::string document = design.substr(0, navigationAt) + nav.str() + titles.str() +
                                 "    <providers>\n" + gen.providers.str() +
                                 "    </providers>\n</root>\n";
    std::ostringstream project;
    project << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            << "<project discFormat=\"10\" rootMenuTitle=\"true\" background=\"true\"\n"
            << "         backgroundImage=\"\" mediaKind=\"2\" defaultMediaValue=\"0\">\n"
            << "    <presentation file=\"presentation.xml\"/>\n    <titles>\n";
    for (int t = 1; t <= kTitles; ++t) {
        char guid[64];
        std::snprintf(guid, sizeof guid, "{7A1D0C00-0000-4000-8000-%012d}", t);
        project << "        <title kind=\"user\" guid=\"" << guid << "\"/>\n";
    }
    project << "    </titles>\n</project>\n";
    if (!writeText(gen.out / "presentation.xml", document) ||
        !writeText(gen.out / "project.xml", project.str())) {
        std::fprintf(stderr, "make-calendar: cannot write the project files\n");
        return 1;
    }
    std::printf("%s: %d years, %u entry pictures, %d photos, %d title contents\n", argv[2], years,
                gen.pictures, allPhotos, allTitles);
    return 0;
}
