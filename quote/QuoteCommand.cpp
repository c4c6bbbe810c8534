#include "quote/QuoteCommand.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTranslator>

#include <sys/stat.h>

#include <cstdio>

#include "Main/model/ProductCatalogue.h"
#include "Main/xlsx/ExportData.h"
#include "Main/xlsx/SaveToExcel.h"
#include "framework/os/SFAppDir.h"
#include "framework/os/SFAtomicFile.h"
#include "framework/os/SFStreamConvert.h"
#include "quote/QuoteOutput.h"
#include "quote/QuoteRequest.h"
#include "shell/lang/LanguageTable.h"

namespace {

using SF_SOFT_BASE::CSFStreamConvert;

// A batch file is a list of walls; nothing near this size is one.
constexpr std::size_t kBatchLimit = 64u << 20;

QString Q(const std::wstring& text) {
    return QString::fromStdWString(text);
}

std::wstring W(const QString& text) {
    return text.toStdWString();
}

// A path as the file system takes it.
std::string Path(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

void Write(std::FILE* stream, const std::wstring& text) {
    const std::string utf8 = CSFStreamConvert::ToNarrow(text, SF_SOFT_BASE::CP_UTF8);
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

void WriteJson(const QJsonDocument& document) {
    const QByteArray utf8 = document.toJson();
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stdout);
}

int Fail(const QuoteError& error) {
    Write(stderr, L"tessaro-quote: " + error.message + L"\n");
    return static_cast<int>(error.code);
}

// The end of a run that printed its result: a full disk or a closed pipe is a failed output.
int Finish(QuoteExit status = QuoteExit::Ok) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        return Fail({QuoteExit::Output, Translate(L"Cannot write the standard output.")});
    }
    return static_cast<int>(status);
}

// Each text is one language key, so none may be split across literals.
// clang-format off
void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(Q(Translate(L"Quotes video walls with the rules of the window: the data sheet of one wall, or one row per wall of a batch.")));
    parser.addHelpOption();
    parser.addVersionOption();
    const QString file = QStringLiteral("FILE");
    parser.addOptions({
        {QStringLiteral("wall"), Q(Translate(L"Wall width and height, in the unit of --unit (default 6x2).")), QStringLiteral("WIDTHxHEIGHT")},
        {QStringLiteral("lampstand"), Q(Translate(L"Lampstand height, in the unit of --unit (default 1).")), QStringLiteral("H")},
        {QStringLiteral("unit"), Q(Translate(L"Unit of the sizes: m (default) or ft.")), QStringLiteral("m|ft")},
        {QStringLiteral("model"), Q(Translate(L"Display model by name (default: the first of the catalogue).")), QStringLiteral("NAME")},
        {QStringLiteral("model-row"), Q(Translate(L"Display model by its row in the catalogue, counted from 0.")), QStringLiteral("N")},
        {QStringLiteral("fit"), Q(Translate(L"As many displays as the wall holds (Fit To Room)."))},
        {QStringLiteral("layout"), Q(Translate(L"Columns and rows of displays.")), QStringLiteral("COLSxROWS")},
        {QStringLiteral("portrait"), Q(Translate(L"Portrait orientation."))},
        {QStringLiteral("catalogue"), Q(Translate(L"The catalogue to read (default: the one shipped with the program).")), file},
        {QStringLiteral("lang"), Q(Translate(L"Language of titles and messages: en or zh.")), QStringLiteral("en|zh")},
        {QStringLiteral("xlsx"), Q(Translate(L"Also write (or update) this workbook, as Export To Excel does.")), file},
        {QStringLiteral("json"), Q(Translate(L"Print the figures as JSON."))},
        {QStringLiteral("batch"), Q(Translate(L"One wall per line of a CSV file whose first line names the columns (wall, lampstand, unit, model, model-row, layout, fit, portrait); the options above are the defaults. Prints one CSV row per wall, or writes the rows into a new workbook with --xlsx.")), QStringLiteral("FILE.csv")},
        {QStringLiteral("list-models"), Q(Translate(L"Print the catalogue."))},
    });
}

std::wstring ExitStatusText() {
    return Translate(L"Exit status: 0 done, 2 usage error, 3 unknown display model, 4 unreadable catalogue, 5 refused or no display fits, 6 output not writable.");
}
// clang-format on

std::wstring Joined(const std::vector<std::wstring>& texts) {
    std::wstring text;
    for (const std::wstring& t : texts) {
        text += (text.empty() ? L"" : L" ") + t;
    }
    return text;
}

QuoteError UnknownModel(const WallRequest& request) {
    return {QuoteExit::UnknownModel,
            Translate(L"Unknown display model: ") +
                (request.modelName.empty() ? L"--model-row " + std::to_wstring(request.modelRow)
                                           : request.modelName)};
}

QuoteError Refused(const WallQuote& quote, const WallRequest& request) {
    return {QuoteExit::Refused, Joined(quote.attention) + L" (" + DescribeRequest(request) + L")"};
}

// The workbook's file: the name as given, with ".xlsx" added when it lacks it, as the export
// dialog adds it; split into the folder and the bare name that the export takes.
struct XlsxTarget {
    std::wstring path;
    std::wstring folder;
    std::wstring name;
};

QuoteError ToXlsxTarget(const QString& value, XlsxTarget& target) {
    std::wstring base = W(value);
    if (base.size() >= 5 && base.compare(base.size() - 5, 5, L".xlsx") == 0) {
        base.resize(base.size() - 5);
    }
    const std::size_t slash = base.rfind(L'/');
    target.path = base + L".xlsx";
    target.folder = slash == std::wstring::npos ? L"." : base.substr(0, slash);
    target.name = slash == std::wstring::npos ? base : base.substr(slash + 1);
    if (target.name.empty()) {
        return {QuoteExit::Usage, Translate(L"Malformed value: ") + L"--xlsx " + W(value)};
    }
    return {};
}

QuoteError OutputFailed(const std::wstring& notice, const std::wstring& path,
                        const std::string& why) {
    return {QuoteExit::Output, notice + L" " + path + L" (" + CSFStreamConvert::ToWide(why) + L")"};
}

// Notices of the export, kept rather than shown: only a failure is reported.
class NoticeRecord : public IExportMessageSink {
public:
    void ShowMessage(const std::wstring&, const std::wstring& text) override { notice = text; }
    std::wstring notice;
};

int RunSingle(const QCommandLineParser& parser, const ProductCatalogue& catalogue,
              const WallRequest& request) {
    if (const QuoteError error = CheckLayoutGiven(request)) {
        return Fail(error);
    }
    const ProductParameter* model = FindModel(catalogue, request);
    if (model == nullptr) {
        return Fail(UnknownModel(request));
    }
    const WallQuote quote = QuoteWall(catalogue, *model, request);
    QuoteError written;
    if (!quote.Refused() && parser.isSet(QStringLiteral("xlsx"))) {
        XlsxTarget target;
        if (const QuoteError error = ToXlsxTarget(parser.value(QStringLiteral("xlsx")), target)) {
            return Fail(error);
        }
        NoticeRecord notices;
        std::string why;
        if (ExportData(target.folder, target.name, quote.sheet, &notices, nullptr, &why) !=
            ExportResult::Exported) {
            written = OutputFailed(notices.notice, target.path, why);
        }
    }
    if (parser.isSet(QStringLiteral("json"))) {
        WriteJson(QJsonDocument(SheetJson(quote)));
    } else {
        Write(stdout, SheetText(quote));
    }
    if (quote.Refused()) {
        Fail(Refused(quote, request));
        return Finish(QuoteExit::Refused);
    }
    return written ? Fail(written) : Finish();
}

int RunBatch(const QCommandLineParser& parser, const ProductCatalogue& catalogue,
             const WallRequest& defaults) {
    const QString file = parser.value(QStringLiteral("batch"));
    std::string bytes, why;
    if (!SF_SOFT_BASE::ReadWholeFile(Path(file), bytes, kBatchLimit, &why)) {
        return Fail({QuoteExit::Usage, Translate(L"Cannot read ") + W(file) + L" (" +
                                           CSFStreamConvert::ToWide(why) + L")"});
    }
    std::vector<BatchWall> walls;
    if (const QuoteError error = ReadBatch(bytes, W(file), defaults, walls)) {
        return Fail(error);
    }
    // Every wall is quoted before anything is printed or written.
    std::vector<WallQuote> quotes;
    std::vector<SpecSheetValues> sheets;
    for (const BatchWall& wall : walls) {
        const std::wstring at = W(file) + L":" + std::to_wstring(wall.line) + L": ";
        const ProductParameter* model = FindModel(catalogue, wall.request);
        QuoteError error = model == nullptr ? UnknownModel(wall.request) : QuoteError{};
        if (!error) {
            quotes.push_back(QuoteWall(catalogue, *model, wall.request));
            sheets.push_back(quotes.back().sheet);
            error = quotes.back().Refused() ? Refused(quotes.back(), wall.request) : error;
        }
        if (error) {
            error.message = at + error.message;
            return Fail(error);
        }
    }
    const bool toWorkbook = parser.isSet(QStringLiteral("xlsx"));
    if (toWorkbook) {
        XlsxTarget target;
        if (const QuoteError error = ToXlsxTarget(parser.value(QStringLiteral("xlsx")), target)) {
            return Fail(error);
        }
        const std::string path = CSFStreamConvert::ToNarrow(target.path);
        // The window's export patches only the first two rows of a workbook; a batch has more,
        // so it never overwrites a file the user may keep other work in.
        struct stat st;
        if (::stat(path.c_str(), &st) == 0) {
            return Fail(
                {QuoteExit::Output,
                 Translate(L"A batch writes a new workbook; this file exists: ") + target.path});
        }
        if (!SaveSheetsAsNewWorkbook(path, sheets, nullptr, &why)) {
            return Fail(OutputFailed(Translate(L"Export failure."), target.path, why));
        }
    }
    if (parser.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const WallQuote& quote : quotes) {
            array.append(SheetJson(quote));
        }
        WriteJson(QJsonDocument(array));
    } else if (!toWorkbook) {
        Write(stdout, SheetsCsv(quotes));
    }
    return Finish();
}

}  // namespace

int RunQuote(const QStringList& arguments) {
    // The language comes first: the help and every message are in it.
    QCommandLineParser probe;
    AddOptions(probe);
    probe.parse(arguments);
    const QString lang = probe.value(QStringLiteral("lang"));
    QTranslator qtTexts;  // Qt's own texts of the parser (its errors, "Usage:", "Options:")
    CurrentLanguage = lang == QStringLiteral("zh") ? 1 : 0;
    if (CurrentLanguage == 1 &&
        qtTexts.load(QString::fromStdString(SF_SOFT_BASE::ApplicationDirectory()) +
                     QStringLiteral("/qt_zh_CN.qm"))) {
        QCoreApplication::installTranslator(&qtTexts);
    }

    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(arguments)) {
        return Fail({QuoteExit::Usage, W(parser.errorText())});
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        Write(stdout, W(parser.helpText()) + ExitStatusText() + L"\n");
        return Finish();
    }
    if (parser.isSet(QStringLiteral("version"))) {
        Write(stdout, W(QCoreApplication::applicationName() + QStringLiteral(" ") +
                        QCoreApplication::applicationVersion()) +
                          L"\n");
        return Finish();
    }
    if (!lang.isEmpty() && lang != QStringLiteral("en") && lang != QStringLiteral("zh")) {
        return Fail({QuoteExit::Usage, Translate(L"Malformed value: ") + L"--lang " + W(lang)});
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Fail({QuoteExit::Usage, Translate(L"Unexpected argument: ") +
                                           W(parser.positionalArguments().constFirst())});
    }

    WallRequest defaults;
    std::vector<OptionValue> given;
    for (const std::wstring_view name : kWallOptions) {
        const QString option = Q(std::wstring(name));
        if (parser.isSet(option)) {
            const bool flag = name == L"fit" || name == L"portrait";
            given.push_back({std::wstring(name), flag ? L"1" : W(parser.value(option))});
        }
    }
    if (const QuoteError error = ApplyOptions(defaults, given)) {
        return Fail(error);
    }

    const QString cataloguePath = parser.isSet(QStringLiteral("catalogue"))
                                      ? parser.value(QStringLiteral("catalogue"))
                                      : QString::fromStdString(CDatabaseManager::CataloguePath());
    ProductCatalogue catalogue;
    CDatabaseManager::LoadProductParametersFrom(Path(cataloguePath), catalogue);
    if (catalogue.empty()) {
        return Fail({QuoteExit::Catalogue,
                     Translate(L"No display model could be read from ") + W(cataloguePath)});
    }
    if (parser.isSet(QStringLiteral("list-models"))) {
        Write(stdout, ModelListText(catalogue));
        return Finish();
    }
    return parser.isSet(QStringLiteral("batch")) ? RunBatch(parser, catalogue, defaults)
                                                 : RunSingle(parser, catalogue, defaults);
}
