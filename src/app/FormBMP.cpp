#include "app/FormBMP.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"

namespace korvane {

bool TFormBMP::FormActivate() {
    result = false;
    image = loadPicture(BMPFileName);
    if (!image || image->width <= 0 || image->height <= 0) {
        image.reset();
        showMessage(txt("BMP_dialog", "bladOdczytuObrazu") + "\r\n" + BMPFileName, true);
        return false;
    }
    relief.wysokosc = proportionalDepth(relief.Szerokosc, *image);
    return true;
}

void TFormBMP::SzerokoscChange(double width) {
    relief.Szerokosc = width;
    if (Proporcjonalnie && image) relief.wysokosc = proportionalDepth(width, *image);
}

void TFormBMP::wysokoscChange(double depth) {
    relief.wysokosc = depth;
    if (Proporcjonalnie && image && image->height > 0)
        relief.Szerokosc = depth * image->width / image->height;
}

bool TFormBMP::GenerujPix2D() const {
    return korvane::GenerujPix2D(BMPFileName, relief);
}

bool TFormBMP::btnOkClick(TProjektDane& project) {
    if (!GenerujPix2D()) return false;
    project.BMPwysBialego = relief.wysokoscDlaBialego;
    project.BMPwysCzarnego = relief.wysokoscDlaCzarnego;
    project.BMPx = relief.Szerokosc;
    project.BMPy = relief.wysokosc;
    result = true;
    return true;
}

} // namespace korvane
