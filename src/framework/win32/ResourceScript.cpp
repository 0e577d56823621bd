// Writes the program's Win32 resource script (version record, string table, icons) and its
// .ico files from the resources as data; runs on the build machine, for windres.
//   resource-script <script.rc> <folder for the .ico files>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "Resources.h"

namespace {

using morvex::fw::IconImage;
using morvex::fw::IconResource;

// A string as the resource compiler reads it: quotes doubled, backslashes escaped.
std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') {
            out += "\"\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Version(const std::array<std::uint16_t, 4>& parts) {
    return std::to_string(parts[0]) + "," + std::to_string(parts[1]) + "," +
           std::to_string(parts[2]) + "," + std::to_string(parts[3]);
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

int PaletteIndex(char pixel) {
    if (pixel >= '0' && pixel <= '9') {
        return pixel - '0';
    }
    if (pixel >= 'A' && pixel <= 'F') {
        return pixel - 'A' + 10;
    }
    if (pixel >= 'a' && pixel <= 'f') {
        return pixel - 'a' + 10;
    }
    return -1;
}

// One 16-colour image as an .ico entry holds it: header, palette, colour rows and mask rows,
// each bottom-up and padded to 32 bits. Transparent pixels are colour 0 under a set mask bit.
std::vector<std::uint8_t> IconBitmap(const IconResource& icon, const IconImage& image) {
    const int side = image.size;
    const int colourStride = ((side * 4 + 31) / 32) * 4;
    const int maskStride = ((side + 31) / 32) * 4;
    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(side));
    Put32(out, static_cast<std::uint32_t>(side * 2));  // colour and mask together
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>((colourStride + maskStride) * side));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 16);
    Put32(out, 0);
    for (const std::uint32_t rgb : icon.palette) {
        out.push_back(static_cast<std::uint8_t>(rgb & 0xFF));
        out.push_back(static_cast<std::uint8_t>((rgb >> 8) & 0xFF));
        out.push_back(static_cast<std::uint8_t>((rgb >> 16) & 0xFF));
        out.push_back(0);
    }
    auto pixel = [&image](int x, int y) {
        const std::string_view row =
            y < static_cast<int>(image.rows.size()) ? image.rows[static_cast<std::size_t>(y)] : "";
        return x < static_cast<int>(row.size()) ? PaletteIndex(row[static_cast<std::size_t>(x)])
                                                : -1;
    };
    for (int y = side - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(colourStride), 0);
        for (int x = 0; x < side; ++x) {
            const int index = pixel(x, y) < 0 ? 0 : pixel(x, y);
            row[static_cast<std::size_t>(x / 2)] |=
                static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = side - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
        for (int x = 0; x < side; ++x) {
            if (pixel(x, y) < 0) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> IconFile(const IconResource& icon) {
    std::vector<std::vector<std::uint8_t>> bitmaps;
    for (const IconImage& image : icon.images) {
        bitmaps.push_back(IconBitmap(icon, image));
    }
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // an icon
    Put16(out, static_cast<std::uint32_t>(bitmaps.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * bitmaps.size());
    for (std::size_t i = 0; i < bitmaps.size(); ++i) {
        const int side = icon.images[i].size;
        out.push_back(static_cast<std::uint8_t>(side >= 256 ? 0 : side));
        out.push_back(static_cast<std::uint8_t>(side >= 256 ? 0 : side));
        out.push_back(16);  // colours
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 4);
        Put32(out, static_cast<std::uint32_t>(bitmaps[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(bitmaps[i].size());
    }
    for (const auto& bitmap : bitmaps) {
        out.insert(out.end(), bitmap.begin(), bitmap.end());
    }
    return out;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    if (!out) {
        std::fprintf(stderr, "resource-script: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: resource-script <script.rc> <icon folder>\n");
        return 2;
    }
    const std::string script = argv[1];
    const std::string folder = argv[2];
    const auto& version = morvex::res::Version();
    const unsigned language = version.language;

    std::ostringstream rc;
    rc << "// The program's resources, written from res/ by ResourceScript.cpp; not edited.\n"
       << "#pragma code_page(65001)\n"
       << "LANGUAGE " << (language & 0x3FF) << ", " << (language >> 10) << "\n\n";

    for (const IconResource* icon : morvex::res::AllIcons()) {
        const std::string file = folder + "/icon-" + std::to_string(icon->id) + ".ico";
        const std::vector<std::uint8_t> bytes = IconFile(*icon);
        if (!WriteFile(file, std::string(bytes.begin(), bytes.end()))) {
            return 1;
        }
        rc << icon->id << " ICON " << Quoted(file) << "\n";
    }

    rc << "\nSTRINGTABLE\nBEGIN\n";
    for (const auto& entry : morvex::res::AllStrings()) {
        rc << "    " << entry.id << ", " << Quoted(entry.text) << "\n";
    }
    rc << "END\n\n";

    // "040904b0": the language and the code page of the texts, also the translation entry.
    const unsigned long block = std::stoul(std::string(version.stringBlock), nullptr, 16);
    rc << "1 VERSIONINFO\n"
       << "FILEVERSION " << Version(version.fileVersion) << "\n"
       << "PRODUCTVERSION " << Version(version.productVersion) << "\n"
       << "FILEFLAGSMASK 0x3F\nFILEFLAGS 0x0\nFILEOS 0x4\nFILETYPE 0x1\nFILESUBTYPE 0x0\n"
       << "BEGIN\n"
       << "    BLOCK \"StringFileInfo\"\n    BEGIN\n"
       << "        BLOCK " << Quoted(version.stringBlock) << "\n        BEGIN\n";
    const std::pair<const char*, std::string_view> values[] = {
        {"CompanyName", version.companyName},       {"FileDescription", version.fileDescription},
        {"FileVersion", version.fileVersionText},   {"InternalName", version.internalName},
        {"LegalCopyright", version.legalCopyright}, {"OriginalFilename", version.originalFilename},
        {"ProductName", version.productName},       {"ProductVersion", version.productVersionText},
    };
    for (const auto& [name, value] : values) {
        rc << "            VALUE \"" << name << "\", " << Quoted(value) << "\n";
    }
    rc << "        END\n    END\n"
       << "    BLOCK \"VarFileInfo\"\n    BEGIN\n"
       << "        VALUE \"Translation\", 0x" << std::hex << (block >> 16) << ", " << std::dec
       << (block & 0xFFFF) << "\n"
       << "    END\n"
       << "END\n";

    return WriteFile(script, rc.str()) ? 0 : 1;
}
