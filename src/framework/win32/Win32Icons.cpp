// Icons: the executable's icon resource, or a 32-bit icon drawn from the resource data.
#include "framework/win32/Win32Icons.h"

#include <cstdlib>
#include <vector>

namespace morvex::fw::win32 {
namespace {

struct LoadedIcon {
    IconHandle icon;
    int size;
    HICON handle;
};

// A handful at most (one icon, one or two sizes): a list is all it takes.
std::vector<LoadedIcon>& LoadedIcons() {
    static std::vector<LoadedIcon> icons;
    return icons;
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
    return -1;  // transparent
}

// The image closest to `size`, preferring a larger one (shrinking looks better).
const IconImage* ClosestImage(const IconResource& icon, int size) {
    const IconImage* best = nullptr;
    for (const IconImage& image : icon.images) {
        if (best == nullptr) {
            best = &image;
            continue;
        }
        const int distance = std::abs(image.size - size);
        const int bestDistance = std::abs(best->size - size);
        if (distance < bestDistance || (distance == bestDistance && image.size > best->size)) {
            best = &image;
        }
    }
    return best;
}

HICON DrawIconFromData(const IconResource& icon, int size) {
    const IconImage* image = ClosestImage(icon, size);
    if (image == nullptr || image->size <= 0) {
        return nullptr;
    }
    const int side = image->size;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;  // top-down rows, as the data is written
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP color = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (color == nullptr) {
        return nullptr;
    }
    // Rows of the monochrome mask are padded to 16 bits; a set bit is transparent.
    const int maskStride = ((side + 15) / 16) * 2;
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(maskStride * side), 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < side; ++y) {
        const std::string_view row = y < static_cast<int>(image->rows.size())
                                         ? image->rows[static_cast<std::size_t>(y)]
                                         : std::string_view{};
        for (int x = 0; x < side; ++x) {
            const int index = x < static_cast<int>(row.size())
                                  ? PaletteIndex(row[static_cast<std::size_t>(x)])
                                  : -1;
            std::uint32_t argb = 0;
            if (index >= 0) {
                argb = 0xFF000000u | icon.palette[static_cast<std::size_t>(index)];
            } else {
                mask[static_cast<std::size_t>(y * maskStride + x / 8)] |=
                    static_cast<std::uint8_t>(0x80u >> (x % 8));
            }
            pixels[y * side + x] = argb;
        }
    }
    HBITMAP monochrome = ::CreateBitmap(side, side, 1, 1, mask.data());
    ICONINFO parts{};
    parts.fIcon = TRUE;
    parts.hbmColor = color;
    parts.hbmMask = monochrome;
    HICON result = monochrome != nullptr ? ::CreateIconIndirect(&parts) : nullptr;
    ::DeleteObject(color);
    if (monochrome != nullptr) {
        ::DeleteObject(monochrome);
    }
    return result;
}

}  // namespace

HICON IconFor(IconHandle icon, int size) {
    if (icon == nullptr) {
        return nullptr;
    }
    auto& icons = LoadedIcons();
    for (const LoadedIcon& loaded : icons) {
        if (loaded.icon == icon && loaded.size == size) {
            return loaded.handle;
        }
    }
    auto* loaded =
        static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(icon->id),
                                        IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (loaded == nullptr) {
        loaded = DrawIconFromData(*icon, size);
    }
    icons.push_back({icon, size, loaded});
    return loaded;
}

void ReleaseIcons() {
    for (const LoadedIcon& loaded : LoadedIcons()) {
        if (loaded.handle != nullptr) {
            ::DestroyIcon(loaded.handle);
        }
    }
    LoadedIcons().clear();
}

}  // namespace morvex::fw::win32
