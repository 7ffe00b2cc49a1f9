#pragma once

#include "foundation/Records.h"

#include <vector>

// The model view's state without its window: what it shows, where the content
// sits, how the mouse and the wheel move it. The OpenGL widget draws from it.
namespace korvane {

// How polygons are drawn.
enum TSposobKreslenia : int { skWypelnienie = 0, skKontur = 1, skPunkty = 2 };

// What the view shows.
enum TTrybPracy : int {
    tpPrzegladRAW = 0,            // a triangle list, centred in x and y
    tpPrzegladNarzedzi = 1,       // the sketch of a tool type
    tpPrzegladPlikuWy = 2,        // a figure list as polylines, centred in x and y
    tpPrzegladRAWtermSeryjne = 3, // a triangle list, centred in x, y and z
};

// Navigation operations of Nawigacja.
enum : int { navRotate = 1, navZoom = 2, navPan = 3 };

enum class MouseButton { left, right, middle, other };

struct KeyModifiers {
    bool shift = false, ctrl = false, alt = false;
};

// One navigation step a mouse move makes; the blocked axis has a delta of 0.
struct NavigationStep {
    int typOperacji = 0;
    int deltaX = 0, deltaY = 0;
};

// The zoom a reset gives when the extents have no area in x and y: the zoom of
// a 100 mm diagonal.
inline constexpr double resetDiagonalWithoutArea = 100.0;

struct RawViewState {
    TTrybPracy FTrybPracy = tpPrzegladRAW;
    double katPoziom = 0, katPion = 0;         // degrees about y and about x
    double przesuwPoziom = 0, przesuwPion = 0; // pan in view units
    double przesuwPoziom_1szy = 0, przesuwPion_1szy = 0, przesuwZ_1szy = 0; // centring, mm
    double skala = 0;                                                       // zoom, never negative
    bool Obroty = false, Skalowanie = false, Przesuwanie = false;           // drag modes
    TMinMax ParametryModelu;
    int IdFrezu = -1;
    int myszX = 0, myszY = 0; // MyszPoz: position at the last press or move
    bool Locked = false;

    double FModel_KrokObrotu = 0.5;
    double FModel_KrokSkali = 0.0001;
    double FModel_KrokPrzesuwu = 0.01;
    double FModel_KrokSkaliRolka = 0.08;

    // Rotation and pan cleared, the zoom fitted to a view of width × height
    // pixels and the content's centre moved to the origin.
    void reset(int width, int height);
    // One navigation step: navRotate, navZoom or navPan; others do nothing.
    void Nawigacja(int typOperacji, int deltaX, int deltaY);

    // Mouse rules of the model views. Each is ignored while locked; press and
    // release say whether they were taken.
    bool press(MouseButton button, KeyModifiers keys, int x, int y);
    // The steps of a move to (x, y) in the order rotate, zoom, pan, with the
    // axes the held keys block left at 0; the position is remembered. None
    // while locked or while no drag mode is on. The caller applies them with
    // Nawigacja (to a coupled view as well) and draws.
    std::vector<NavigationStep> move(KeyModifiers keys, int x, int y);
    bool release();
    // Zooms by a wheel delta (120 a notch); false while locked.
    bool wheel(int delta);
};

// The zoom held at 0 or above.
double SkalaWZakresie(double weSkala);

// A line segment of the axes, in mm of the content's scaled frame.
struct AxisSegment {
    TrPkt3D from, to;
};

// The coordinate axes for a view of width × height pixels: y with its arrow,
// x with its arrow, and z.
std::vector<AxisSegment> axisSegments(int width, int height);

} // namespace korvane
