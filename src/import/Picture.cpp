#include "import/Picture.h"

#include <jpeglib.h>
// jerror.h needs jpeglib.h first.
#include <jerror.h>
#include <stb_image.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <string>

namespace korvane {

namespace {

std::string upperExtension(const std::filesystem::path& file) {
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ext;
}

std::optional<Picture> loadBitmap(const std::filesystem::path& file) {
    // stb_image reads the file's own signature; only a real bitmap is accepted.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(file.c_str(), "rb"), std::fclose);
    if (!f) return std::nullopt;
    unsigned char signature[2] = {};
    if (std::fread(signature, 1, 2, f.get()) != 2 || signature[0] != 'B' || signature[1] != 'M')
        return std::nullopt;
    std::rewind(f.get());
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_file(f.get(), &width, &height, &channels, 3), stbi_image_free);
    if (!pixels || width <= 0 || height <= 0 ||
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > maxPicturePixels)
        return std::nullopt;
    Picture picture{width, height, {}};
    picture.rgb.assign(pixels.get(), pixels.get() + static_cast<std::size_t>(width) * height * 3);
    return picture;
}

// libjpeg reports fatal errors through error_exit, which must not return.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    bool truncated = false;
};

void jpegFail(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Warnings are not shown; those that say the data ended before the picture
// (the file's end, or its end marker, came early) are noted: libjpeg then
// fills the rest of the picture with grey.
void jpegWarning(j_common_ptr info, int level) {
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
        reinterpret_cast<JpegError*>(info->err)->truncated = true;
}

std::optional<Picture> loadJpeg(const std::filesystem::path& file) {
    std::FILE* const f = std::fopen(file.c_str(), "rb");
    if (!f) return std::nullopt;
    // A failure jumps back to setjmp: what it leaves behind is only memory that
    // was set up before the jump point (the file, the decoder, the picture on the heap).
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFail;
    error.manager.emit_message = jpegWarning;
    const auto picture = std::make_unique<Picture>();
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        std::fclose(f);
        return std::nullopt;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, f);
    jpeg_read_header(&info, TRUE);
    if (static_cast<std::size_t>(info.image_width) * info.image_height > maxPicturePixels)
        jpegFail(reinterpret_cast<j_common_ptr>(&info));
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    picture->width = static_cast<int>(info.output_width);
    picture->height = static_cast<int>(info.output_height);
    picture->rgb.resize(static_cast<std::size_t>(picture->width) * picture->height * 3);
    while (info.output_scanline < info.output_height && !error.truncated) {
        JSAMPROW row = picture->rgb.data() +
                       static_cast<std::size_t>(info.output_scanline) * picture->width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    if (!error.truncated) jpeg_finish_decompress(&info);
    if (error.truncated) jpegFail(reinterpret_cast<j_common_ptr>(&info));
    jpeg_destroy_decompress(&info);
    std::fclose(f);
    if (picture->width <= 0 || picture->height <= 0) return std::nullopt;
    return std::move(*picture);
}

} // namespace

std::optional<Picture> loadPicture(const std::filesystem::path& file) {
    const std::string ext = upperExtension(file);
    if (ext == ".BMP") return loadBitmap(file);
    if (ext == ".JPG" || ext == ".JPEG") return loadJpeg(file);
    return std::nullopt;
}

} // namespace korvane
