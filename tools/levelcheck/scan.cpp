#include "scan.h"

#include "level.h"

#include <cctype>
#include <climits>

namespace {

const char* const headerNames[] = {"width",        "height",      "entrance column",
                                   "entrance row", "exit column", "exit row"};

// A byte as a designer would want to see it in a message.
std::string shown(int c)
{
    if (c == EOF)
        return "the end of the file";
    if (c == '\n')
        return "a line feed";
    if (c == '\r')
        return "a carriage return";
    if (c == '\t')
        return "a tab";
    if (c == ' ')
        return "a space";
    if (c < 32 || c > 126)
        return "the byte " + std::to_string(c);
    return std::string("'") + char(c) + "'";
}

class Scanner {
public:
    explicit Scanner(const std::string& text) : text(text) {}

    ScanResult run()
    {
        (void)(readHeader() && readGrid(isCellCharacter, cellCharacters(), "cell")
               && readGrid(isDominoCharacter, dominoCharacters(), "domino"));
        return result;
    }

private:
    const std::string& text;
    size_t pos = 0;
    int line = 1, column = 1;
    ScanResult result;

    int peek() const { return pos < text.size() ? static_cast<unsigned char>(text[pos]) : EOF; }

    int next()
    {
        int c = peek();
        if (c == EOF)
            return c;
        pos++;
        if (c == '\n') {
            line++;
            column = 1;
        } else {
            column++;
        }
        return c;
    }

    bool fail(const std::string& message)
    {
        result.ok = false;
        result.line = line;
        result.column = column;
        result.message = message;
        return false;
    }

    // One header number as "%d" reads it: white space, a sign, digits.
    bool readNumber(const char* name, int& value)
    {
        while (peek() != EOF && std::isspace(peek()))
            next();
        long long v = 0;
        int sign = 1;
        if (peek() == '+' || peek() == '-')
            sign = next() == '-' ? -1 : 1;
        if (peek() == EOF || !std::isdigit(peek()))
            return fail(std::string("expected the ") + name + " (a whole number), found " + shown(peek()));
        while (peek() != EOF && std::isdigit(peek())) {
            v = v * 10 + (next() - '0');
            if (v > INT_MAX)
                return fail(std::string("the ") + name + " is too large");
        }
        value = int(sign * v);
        return true;
    }

    bool readHeader()
    {
        int* fields[] = {&result.wid, &result.hei, &result.ix, &result.iy, &result.ox, &result.oy};
        for (int i = 0; i < 6; i++)
            if (!readNumber(headerNames[i], *fields[i]))
                return false;
        return checkSize() && lineEnd("after the sixth header number");
    }

    bool checkSize()
    {
        if (result.wid < 1 || result.hei < 1)
            return fail("the header gives a size of " + std::to_string(result.wid) + " x "
                        + std::to_string(result.hei) + "; width and height must be at least 1");
        return true;
    }

    bool lineEnd(const std::string& where)
    {
        if (peek() == '\n') {
            next();
            return true;
        }
        return fail("expected a line feed " + where + ", found " + shown(peek()));
    }

    static bool isCellCharacter(int c) { return findCellKind(c) != nullptr; }
    static bool isDominoCharacter(int c) { return findDominoKind(c) != nullptr; }

    // One grid, checked against one of the loader's own alphabets.
    bool readGrid(bool (*allowed)(int c), const std::string& alphabet, const std::string& what)
    {
        for (int row = 0; row < result.hei; row++) {
            for (int x = 0; x < result.wid; x++) {
                int c = peek();
                if (c == EOF || c == '\n')
                    return fail("the " + what + " line is too short: expected " + std::to_string(result.wid)
                                + " characters, found " + shown(c) + " after " + std::to_string(x));
                if (!allowed(c))
                    return fail("expected a " + what + " character (one of \"" + alphabet + "\"), found "
                                + shown(c));
                next();
            }
            if (!lineEnd("at the end of a " + what + " line of width " + std::to_string(result.wid)))
                return false;
        }
        return true;
    }
};

}  // namespace

ScanResult scanLevel(const std::string& text)
{
    return Scanner(text).run();
}
