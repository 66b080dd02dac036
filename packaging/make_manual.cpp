// Writes the manual page of tarvane-convert (roff) from the program's own
// options and help text, so that the page reads as the help is written.
// Usage: make_manual OUTPUT VERSION
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "cli/Options.h"
#include "core/text/Cp1252.h"

namespace {

// Text for roff: its escape character, the minus sign, a line that would
// start with a control character, and every character beyond ASCII by its
// code point.
std::string Roff(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (const auto& c : Cp1252::DecodeUtf8(text)) {
        const char32_t u = c.codePoint;
        if (lineStart && (u == '.' || u == '\'')) out += "\\&";
        if (u == '\\') out += "\\e";
        else if (u == '-') out += "\\-";
        else if (u >= 0x80) {
            char code[16];
            std::snprintf(code, sizeof code, "\\[u%04X]", static_cast<unsigned>(u));
            out += code;
        } else out += static_cast<char>(u);
        lineStart = u == '\n';
    }
    return out;
}

// The paragraphs of a help section: text lines run together into filled
// paragraphs, examples (two blanks in front) kept as they stand.
std::string Paragraphs(std::string_view text) {
    std::string out = ".PP\n";
    bool example = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty()) {
            out += example ? ".fi\n.PP\n" : ".PP\n";
            example = false;
            continue;
        }
        const bool indented = line.starts_with("  ");
        if (indented != example) out += indented ? ".nf\n" : ".fi\n";
        example = indented;
        out += Roff(line) + "\n";
    }
    return out + (example ? ".fi\n" : "");
}

std::string Options(const CLI::App& app) {
    std::string out;
    for (const CLI::Option* o : app.get_options()) {
        if (o == app.get_help_ptr() && app.get_parent()) continue;  // every group has one; the program's is enough
        std::string value = o->get_type_name();
        value = value.substr(0, value.find(':'));
        std::string names;
        for (const std::string& name : o->get_snames()) names += (names.empty() ? "" : ", ") + ("\\fB\\-" + Roff(name) + "\\fR");
        for (const std::string& name : o->get_lnames()) names += (names.empty() ? "" : ", ") + ("\\fB\\-\\-" + Roff(name) + "\\fR");
        if (names.empty()) names = "\\fI" + Roff(o->get_name()) + "\\fR";
        else if (o->get_type_size() != 0 && !value.empty())
            for (int k = 0; k < std::max(o->get_expected_min(), 1); ++k) names += " \\fI" + Roff(value) + "\\fR";
        out += ".TP\n" + names + "\n" + Roff(o->get_description()) + "\n";
    }
    for (const CLI::App* group : app.get_subcommands([](const CLI::App* a) { return a->get_name().empty(); })) {
        out += ".SS " + Roff(group->get_group()) + "\n";
        if (!group->get_description().empty()) out += Roff(group->get_description()) + "\n";
        out += Options(*group);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_manual OUTPUT VERSION\n");
        return 2;
    }
    CLI::App app;
    ConvertOptions::Options options;
    ConvertOptions::Describe(app, options);
    std::string page = ".TH TARVANE\\-CONVERT 1 \"\" \"tarvane\\-convert " + Roff(argv[2]) + "\" \"User Commands\"\n";
    page += ".SH NAME\ntarvane\\-convert \\- convert points to and from Lambert conformal conic grid co\\-ordinates\n";
    page += ".SH SYNOPSIS\n.nf\n" + Roff(ConvertOptions::HelpSection("Usage")) + ".fi\n";
    page += ".SH DESCRIPTION\n\\fBtarvane\\-convert\\fR " + Roff(ConvertOptions::HelpSection("Summary")) + "\n";
    page += ".SH OPTIONS\n" + Options(app);
    for (const ConvertOptions::Section& s : ConvertOptions::Sections()) {
        std::string title = s.title;
        for (char& c : title) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        page += ".SH " + Roff(title) + "\n" + Paragraphs(s.text);
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << page;
    return out.flush() ? 0 : 1;
}
