// The arrow and wait cursors, drawn for this project as 16 x 16 masks:
// rows of text where '#' is ink, '.' the white edge and ' ' transparent.
#pragma once

namespace vrt::platform {

struct DrawnCursor {
  const char* rows[16];
  int hot_x, hot_y;
};

inline constexpr DrawnCursor kArrowCursor = {{
    "#               ",
    "##              ",
    "#.#             ",
    "#..#            ",
    "#...#           ",
    "#....#          ",
    "#.....#         ",
    "#......#        ",
    "#.......#       ",
    "#....#####      ",
    "#..#..#         ",
    "#.# #..#        ",
    "##  #..#        ",
    "#    #..#       ",
    "     #..#       ",
    "      ##        ",
}, 0, 0};

inline constexpr DrawnCursor kWaitCursor = {{
    " ############## ",
    " #............# ",
    "  #..........#  ",
    "  #.########.#  ",
    "   #.######.#   ",
    "    #.####.#    ",
    "     #.##.#     ",
    "      #..#      ",
    "      #..#      ",
    "     #....#     ",
    "    #..##..#    ",
    "   #..####..#   ",
    "  #.########.#  ",
    "  #..........#  ",
    " #............# ",
    " ############## ",
}, 7, 7};

}  // namespace vrt::platform
