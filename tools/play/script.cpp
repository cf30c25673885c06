#include "script.h"

#include <fstream>
#include <sstream>

namespace {

enum class Argument { None, Count, Direction };

struct Keyword {
    const char* word;
    Action::Kind kind;
    Argument argument;
};

const Keyword keywords[] = {
    {"walk", Action::Walk, Argument::Count},           {"drop", Action::Drop, Argument::Count},
    {"climb", Action::Climb, Argument::Count},         {"grab", Action::Grab, Argument::None},
    {"push", Action::Push, Argument::Direction},       {"wait", Action::Wait, Argument::Count},
    {"wait-still", Action::WaitStill, Argument::None}, {"exit", Action::Exit, Argument::None},
};

const char* const showcaseMark = "showcase";
const char* const timingMark = "timing";

std::string withoutComment(const std::string& line)
{
    return line.substr(0, line.find('#'));
}

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(blanks) + 1 - first);
}

// A non-negative decimal number and nothing else.
bool readCount(const std::string& word, int& value)
{
    if (word.empty() || word.size() > 6 || word.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoi(word);
    return true;
}

bool readDirection(const std::string& word, int& value)
{
    if (word != "left" && word != "right")
        return false;
    value = word == "left" ? -1 : 1;
    return true;
}

// Parses one line's words into action; an empty message means success.
std::string parseAction(std::istringstream& words, Action& action)
{
    std::string word, argument, extra;
    words >> word;
    for (const Keyword& k : keywords) {
        if (word != k.word)
            continue;
        action.kind = k.kind;
        action.arg = 0;
        const bool hasArgument = k.argument != Argument::None;
        if (hasArgument && !(words >> argument))
            return "'" + word + "' needs an argument";
        if (words >> extra)
            return "unexpected '" + extra + "'";
        if (k.argument == Argument::Count && !readCount(argument, action.arg))
            return "'" + argument + "' is not a number of cells or ticks";
        if (k.argument == Argument::Direction && !readDirection(argument, action.arg))
            return "push needs left or right, not '" + argument + "'";
        return "";
    }
    return "unknown action '" + word + "'";
}

}  // namespace

bool readScript(const std::string& path, std::vector<Action>& script, ScriptMarks& marks, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = "no solution script " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); number++) {
        const std::string text = trimmed(withoutComment(line));
        if (text.empty())
            continue;
        if (text == showcaseMark) {
            marks.showcase = true;
            continue;
        }
        if (text == timingMark) {
            marks.timing = true;
            continue;
        }
        std::istringstream words(text);
        Action action;
        const std::string problem = parseAction(words, action);
        if (!problem.empty()) {
            error = path + ":" + std::to_string(number) + ": " + problem;
            return false;
        }
        action.line = number;
        action.text = text;
        script.push_back(action);
    }
    return true;
}

bool readScript(const std::string& path, std::vector<Action>& script, std::string& error)
{
    ScriptMarks ignored;
    return readScript(path, script, ignored, error);
}

int carriesOf(const std::vector<Action>& script)
{
    int grabs = 0;
    for (const Action& a : script)
        grabs += a.kind == Action::Grab;
    return (grabs + 1) / 2;
}
