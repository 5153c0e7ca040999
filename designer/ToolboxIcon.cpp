#include "ToolboxIcon.h"

#include <QPixmap>

namespace stowline::designer {
namespace {

// The classic 16-colour palette with fuchsia given up for a transparent background, so that
// the picture sits on any widget-box colour.
// clang-format off
const char* const ToolboxPicture[] = {
    "16 15 16 1",
    ". c None", "# c #000000", "m c #800000", "g c #008000",
    "o c #808000", "n c #000080", "p c #800080", "t c #008080",
    "s c #C0C0C0", "d c #808080", "r c #FF0000", "l c #00FF00",
    "y c #FFFF00", "b c #0000FF", "a c #00FFFF", "w c #FFFFFF",
    ".##############.",
    ".#yyy.#.aaa.ww#.",
    ".#yoy.#.ata.ws#.",
    ".#yyy.#.aaa.ww#.",
    ".##############.",
    ".#rrr.#.ll.bbb#.",
    ".#rmr.#.lg.bnb#.",
    ".#rrr.#.ll.bbb#.",
    ".##############.",
    ".#dd..#..pp...#.",
    "...........n....",
    "...........nn...",
    "nn.nn.nn.nnnnnn.",
    "...........nn...",
    "...........n....",
};
// clang-format on

} // namespace

QIcon toolboxIcon() {
    return QIcon(QPixmap(ToolboxPicture));
}

} // namespace stowline::designer
