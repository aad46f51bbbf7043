#include "cli/request.h"

#include <CLI/App.hpp>
#include <CLI/Config.hpp>
#include <CLI/Formatter.hpp>
#include <algorithm>
#include <iterator>
#include <memory>
#include <string_view>

#include "compare/take_over.h"

namespace {

CliRequest Invalid(ArgumentProblem problem, std::string given = {}) {
    CliRequest request;
    request.problem = problem;
    request.given = std::move(given);
    return request;
}

CliRequest List(std::string path) {
    CliRequest request;
    request.kind = CliRequest::Kind::kList;
    request.list.path = std::move(path);
    return request;
}

CliRequest Show(std::string text) {
    CliRequest request;
    request.kind = CliRequest::Kind::kShow;
    request.text = std::move(text);
    return request;
}

// The help in German: CLI11's headings, translated.
std::shared_ptr<CLI::Formatter> GermanFormatter() {
    const CliHelpWords& words = CliHelp();
    auto formatter = std::make_shared<CLI::Formatter>();
    formatter->label("Usage", words.usage);
    formatter->label("OPTIONS", words.options);
    formatter->label("Positionals", words.positionals);
    formatter->label("TEXT", "TEXT");
    formatter->label("REQUIRED", words.required);
    formatter->column_width(24);
    return formatter;
}

// An option the parser does not know, among what it left over ("--" ends the
// options); empty when there is none.
std::string UnknownOption(const CLI::App& app) {
    for (const std::string& extra : app.remaining()) {
        if (extra == "--") break;
        if (extra.size() > 1 && extra[0] == '-') return extra;
    }
    return {};
}

CliRequest InvalidTake(TakeArgumentProblem problem, std::string given = {}) {
    CliRequest request = Invalid(ArgumentProblem::kNotUnderstood, std::move(given));
    request.takeProblem = problem;
    return request;
}

// What is wrong with --take and --output before the parser sees them: a
// missing value (the parser would take the next argument for it, or fail
// without saying which option) or a repeated option.
std::optional<TakeArgumentProblem> TakeOptionsProblem(const std::vector<std::string>& arguments) {
    struct Option {
        std::string_view name;
        TakeArgumentProblem withoutValue, repeated;
        int count = 0;
    } options[] = {
        {"--take", TakeArgumentProblem::kTakeWithoutValue, TakeArgumentProblem::kTakeRepeated},
        {"--output", TakeArgumentProblem::kOutputWithoutValue,
         TakeArgumentProblem::kOutputRepeated},
    };
    for (std::size_t i = 0; i < arguments.size() && arguments[i] != "--"; ++i) {
        const std::string_view argument = arguments[i];
        for (Option& option : options) {
            if (argument == option.name) {
                const bool valueFollows =
                    i + 1 < arguments.size() && !arguments[i + 1].starts_with('-');
                if (!valueFollows) return option.withoutValue;
            } else if (argument.starts_with(option.name) &&
                       argument.substr(option.name.size()).starts_with('=')) {
                if (argument.size() == option.name.size() + 1) return option.withoutValue;
            } else {
                continue;
            }
            if (++option.count > 1) return option.repeated;
        }
    }
    return std::nullopt;
}

// The TakeKind bits of "changed,added,removed"; false, with the kind at fault
// in `unknown`, for anything else.
bool ParseTakeKinds(std::string_view text, unsigned& kinds, std::string& unknown) {
    kinds = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view kind = text.substr(0, comma);
        if (kind == "changed")
            kinds |= kTakeChanged;
        else if (kind == "added")
            kinds |= kTakeAdded;
        else if (kind == "removed")
            kinds |= kTakeRemoved;
        else {
            unknown = kind;
            return false;
        }
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace

CliRequest ParseArguments(const std::vector<std::string>& arguments) {
    const CliHelpWords& words = CliHelp();
    CLI::App app(words.description, "libcompare-cli");
    app.formatter(GermanFormatter());
    app.footer(words.footer);
    app.option_defaults()->group(words.optionsGroup);
    app.set_help_flag("-h,--help", words.help);
    app.allow_windows_style_options(false);  // "/…" is a path, also on Windows
    app.allow_extras();                      // unknown options and surplus files: judged below
    app.set_version_flag("-v,--version", "libcompare-cli " LIBCOMPARE_VERSION, words.version);
    std::string formatName = "text";
    CliRequest request;
    request.kind = CliRequest::Kind::kCompare;
    CLI::Option* formatOption = app.add_option("-f,--format", formatName, words.format)
                                    ->type_name("FORMAT")
                                    ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    // What the comparison leaves aside in the fields.
    const ComparisonOptionWords& optionWords = ComparisonOptionText();
    const CLI::Option* comparisonOptions[] = {
        app.add_flag("--ignore-case", request.compare.options.ignoreCase,
                     optionWords.ignoreCaseHelp),
        app.add_flag("--ignore-blanks", request.compare.options.ignoreBlanks,
                     optionWords.ignoreBlanksHelp),
        app.add_flag("--ignore-classifications", request.compare.options.ignoreClassifications,
                     optionWords.ignoreClassificationsHelp)};
    const auto comparisonOptionGiven = [&comparisonOptions] {
        return std::any_of(std::begin(comparisonOptions), std::end(comparisonOptions),
                           [](const CLI::Option* option) { return option->count() > 0; });
    };
    // One library as text instead of a comparison: "--list BIBLIOTHEK", the
    // library taken where the first of a comparison stands.
    const std::string listHelp = ListOptionHelp();
    const CLI::Option* listOption = app.add_flag("-l,--list", listHelp);
    // Library 2 written with differences taken over instead of a report.
    std::string takeKinds, output;
    const CLI::Option* takeOption =
        app.add_option("--take", takeKinds, TakeOptionHelp())->type_name("ARTEN");
    const CLI::Option* outputOption =
        app.add_option("--output", output, OutputOptionHelp())->type_name("DATEI");
    const CLI::Option* file1Option =
        app.add_option("BIBLIOTHEK1", request.compare.path1, words.library1)
            ->type_name("")
            ->required();
    app.add_option("BIBLIOTHEK2", request.compare.path2, words.library2)->type_name("")->required();

    if (const auto problem = TakeOptionsProblem(arguments)) return InvalidTake(*problem);
    // "--format=" would make the parser take the next argument as the format.
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument == "--format=") return Invalid(ArgumentProblem::kFormatWithoutValue);
        // A flag: the library follows it as an argument of its own.
        if (argument.starts_with("--list="))
            return Invalid(ArgumentProblem::kUnknownOption, argument);
    }

    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return Show(app.help());
    } catch (const CLI::CallForVersion& version) {
        return Show(std::string(version.what()) + "\n");
    } catch (const CLI::ArgumentMismatch&) {
        return Invalid(formatOption->count() > 1 ? ArgumentProblem::kFormatRepeated
                                                 : ArgumentProblem::kFormatWithoutValue);
    } catch (const CLI::RequiredError&) {
        // "-x" alone: the unknown option is what to mend first.
        if (std::string option = UnknownOption(app); !option.empty())
            return Invalid(ArgumentProblem::kUnknownOption, std::move(option));
        if (takeOption->count() > 0 || outputOption->count() > 0)
            return listOption->count() > 0 ? InvalidTake(TakeArgumentProblem::kWithList)
                                           : Invalid(ArgumentProblem::kNotTwoFiles);
        if (listOption->count() == 0) return Invalid(ArgumentProblem::kNotTwoFiles);
        // At most one library: what --list asks for, unless a comparison's
        // format or options come with it.
        if (formatOption->count() > 0 || comparisonOptionGiven())
            return Invalid(ArgumentProblem::kListWithComparison);
        if (file1Option->count() == 0) return Invalid(ArgumentProblem::kListWithoutFile);
        return List(request.compare.path1);
    } catch (const CLI::ParseError& error) {
        return Invalid(ArgumentProblem::kNotUnderstood, error.what());
    }
    // What the parser left over; after "--" nothing counts as an option.
    if (std::string option = UnknownOption(app); !option.empty())
        return Invalid(ArgumentProblem::kUnknownOption, std::move(option));
    std::size_t surplus = 0;
    bool optionsEnded = false;
    for (const std::string& extra : app.remaining()) {
        if (extra == "--" && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        ++surplus;
    }
    // Two libraries or more: a comparison's or a take-over's arguments.
    if (takeOption->count() > 0 || outputOption->count() > 0) {
        if (listOption->count() > 0) return InvalidTake(TakeArgumentProblem::kWithList);
        if (takeOption->count() == 0) return InvalidTake(TakeArgumentProblem::kOutputWithoutTake);
        if (outputOption->count() == 0) return InvalidTake(TakeArgumentProblem::kWithoutOutput);
        if (formatOption->count() > 0) return InvalidTake(TakeArgumentProblem::kWithFormat);
        std::string unknown;
        if (!ParseTakeKinds(takeKinds, request.take.kinds, unknown))
            return InvalidTake(TakeArgumentProblem::kUnknownKind, std::move(unknown));
        if (surplus > 0) return Invalid(ArgumentProblem::kNotTwoFiles);
        request.kind = CliRequest::Kind::kTake;
        request.take.output = output;
        return request;
    }
    if (listOption->count() > 0) return Invalid(ArgumentProblem::kListWithComparison);

    if (formatName == "csv")
        request.compare.format = ReportFormat::kCsv;
    else if (formatName == "csv-excel")
        request.compare.format = ReportFormat::kCsvExcel;
    else if (formatName == "json")
        request.compare.format = ReportFormat::kJson;
    else if (formatName == "html")
        request.compare.format = ReportFormat::kHtml;
    else if (formatName != "text")
        return Invalid(ArgumentProblem::kUnknownFormat, formatName);
    if (surplus > 0) return Invalid(ArgumentProblem::kNotTwoFiles);
    return request;
}
