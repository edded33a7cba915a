// Draws the cursors the program ships and writes them as cursor files:
//
//     pellavin_make_cursors <output folder>      (normally the repository's Cursors/)
//
// The drawing is pixel art on purpose: at 32x32 anti-aliased shapes look blurry,
// and hand-placed pixels keep the output byte-for-byte reproducible.

#include "cursor/file/cursorwriter.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int side = 32;

struct Canvas
{
    std::vector<std::uint32_t> px = std::vector<std::uint32_t>(side * side, 0);

    void set(int x, int y, std::uint32_t c)
    {
        if (x >= 0 && y >= 0 && x < side && y < side)
            px[static_cast<std::size_t>(y * side + x)] = c;
    }
    void fill(int x, int y, int w, int h, std::uint32_t c)
    {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                set(i, j, c);
    }
    // Each character of the picture maps to a colour; ' ' and '.' leave the pixel alone.
    void stamp(int x, int y, const std::vector<std::string_view> &rows, std::uint32_t (*colour)(char))
    {
        for (int j = 0; j < static_cast<int>(rows.size()); ++j)
            for (int i = 0; i < static_cast<int>(rows[j].size()); ++i) {
                const char ch = rows[j][i];
                if (ch != ' ' && ch != '.')
                    set(x + i, y + j, colour(ch));
            }
    }
    // A filled box with a one-pixel border and its corner pixels cut off.
    void roundedBox(int x, int y, int w, int h, std::uint32_t border, std::uint32_t inside)
    {
        fill(x + 1, y, w - 2, h, border);
        fill(x, y + 1, w, h - 2, border);
        fill(x + 1, y + 1, w - 2, h - 2, inside);
    }
};

constexpr std::uint32_t black = 0xff000000, white = 0xffffffff;

// The arrow's tip is its top-left pixel, which is where the hot spot goes.
const std::vector<std::string_view> arrow = {
        "o",         "oo",        "o#o",        "o##o",        "o###o",       "o####o",   "o#####o",
        "o######o",  "o#######o", "o########o", "o#########o", "o######oooo", "o###o##o", "o##oo##o",
        "o#o  o##o", "oo   o##o", "o     o##o", "      o##o",  "       oo",
};

std::uint32_t arrowColour(char ch)
{
    return ch == '#' ? black : white;
}

cursorfile::Frame toFrame(const Canvas &c)
{
    cursorfile::Frame f;
    f.width = side;
    f.height = side;
    f.hotspotX = 0;
    f.hotspotY = 0;
    f.argb = c.px;
    return f;
}

Canvas withArrow()
{
    Canvas c;
    c.stamp(0, 0, arrow, arrowColour);
    return c;
}

// 3x5 digits for the calculator's display.
const std::vector<std::string_view> digits[10] = {
        {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
        {"###", "..#", "###", "#..", "###"}, {"###", "..#", "###", "..#", "###"},
        {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
        {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."},
        {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"},
};

std::uint32_t lcdInk(char)
{
    return 0xff1b3a1f;
}

// Keys, top row first: 7 8 9 / 4 5 6 / 1 2 3 / 0 + =.
enum Key { K7, K8, K9, K4, K5, K6, K1, K2, K3, K0, Plus, Equals, None };

Canvas calculatorFrame(Key lit, int shown)
{
    Canvas c = withArrow();
    const int x0 = 19, y0 = 8, w = 12, h = 23;
    c.roundedBox(x0, y0, w, h, 0xff1c262b, 0xff455a64);
    // Display
    c.fill(x0 + 2, y0 + 2, 8, 7, 0xff9ccc65);
    if (shown >= 0)
        c.stamp(x0 + 6, y0 + 3, digits[shown], lcdInk);
    // Keys: 2x2 with one-pixel gaps, operators in orange.
    for (int k = 0; k < 12; ++k) {
        const int col = k % 3, row = k / 3;
        const bool op = k == Plus || k == Equals;
        std::uint32_t colour = op ? 0xffff9800 : 0xffcfd8dc;
        if (k == lit)
            colour = op ? 0xffffe0b2 : 0xffffee58;
        c.fill(x0 + 2 + col * 3, y0 + 10 + row * 3, 2, 2, colour);
    }
    return c;
}

cursorfile::Cursor calcDefault()
{
    // "2 + 3 = 5", the answer held a little longer, then a short blank before it starts again.
    struct Step
    {
        Key key;
        int shown;
        std::uint32_t jiffies;
    };
    const Step steps[] = {
            {K2, 2, 10}, {Plus, 2, 10}, {K3, 3, 10}, {Equals, 5, 10}, {None, 5, 40}, {None, -1, 20},
    };
    cursorfile::Cursor cur;
    cur.animated = true;
    for (const auto &s : steps) {
        cur.sequence.push_back(cur.frames.size());
        cur.jiffies.push_back(s.jiffies);
        cur.frames.push_back(toFrame(calculatorFrame(s.key, s.shown)));
    }
    return cur;
}

const std::vector<std::string_view> hiText = {
        "##..##.##.##", "##..##....##", "######.##.##", "######.##.##",
        "##..##.##.##", "##..##.##...", "##..##.##.##",
};

constexpr std::uint32_t bubbleInk = 0xff1565c0;

std::uint32_t inkColour(char)
{
    return bubbleInk;
}

// typingDot: which of the three dots is dark (0-2), or -1 to show "Hi!" instead.
Canvas helloFrame(int typingDot, int lift)
{
    Canvas c = withArrow();
    const int x = 13, y = 2 - lift, w = 19, h = 11;
    c.roundedBox(x, y, w, h, bubbleInk, white);
    // The tail points down-left at the arrow.
    c.stamp(x + 1, y + h - 1, {"#ww#", "#w#", "##", "#"},
            [](char ch) { return ch == 'w' ? white : bubbleInk; });
    if (typingDot < 0) {
        c.stamp(x + 3, y + 2, hiText, inkColour);
    } else {
        for (int i = 0; i < 3; ++i)
            c.fill(x + 4 + i * 4, y + 4, 3, 3, i == typingDot ? bubbleInk : 0xffb0bec5);
    }
    return c;
}

cursorfile::Cursor calcHello()
{
    cursorfile::Cursor cur;
    cur.animated = true;
    cur.frames = {toFrame(helloFrame(0, 0)), toFrame(helloFrame(1, 0)), toFrame(helloFrame(2, 0)),
                  toFrame(helloFrame(-1, 0)), toFrame(helloFrame(-1, 1))};
    // Two rounds of typing dots, then "Hi!" hops a few times.
    cur.sequence = {0, 1, 2, 0, 1, 2, 3, 4, 3, 4, 3, 3};
    cur.jiffies.assign(cur.sequence.size(), 10);
    return cur;
}

bool writeFile(const std::filesystem::path &path, const std::vector<std::uint8_t> &bytes)
{
    if (bytes.empty()) {
        std::fprintf(stderr, "nothing to write for %s\n", path.string().c_str());
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    bool ok = writeFile(dir / "arrow_m.cur", cursorfile::writeCur(toFrame(withArrow())));
    ok = writeFile(dir / "Calc-Default.ani", cursorfile::writeAni(calcDefault())) && ok;
    ok = writeFile(dir / "Calc-Hello.ani", cursorfile::writeAni(calcHello())) && ok;
    return ok ? 0 : 1;
}
