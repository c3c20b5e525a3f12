// Parse, walk and free a generated 10 MB document (100,000 elements with five
// attributes and text each) with CXML_Element::Parse (default memory and a
// per-document arena), pugixml, expat and Qt's QXmlStreamReader in one run;
// prints the time ratios, the heap blocks per element and the peak memory of
// each reader. Goal, on one of the two CXML_Element rows: faster than
// QXmlStreamReader, within 3x of pugixml. Also timed: one element with
// 200,000 attributes (a reply of about 2.3 MB), whose repeated-name check
// must stay linear.
#include "CXML_Arena.h"
#include "CXML_Element.h"
#include "CollectingReporter.h"
#include "CountingAllocator.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <benchmark/benchmark.h>
#include <expat.h>
#include <pugixml.hpp>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const int kElements = 100000;

const std::string& Document()
{
    static const std::string doc = [] {
        std::string d = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<updater scheduleTime=\"1718000000\">\n";
        d.reserve(11u << 20);
        char line[256];
        for (int i = 0; i < kElements; i++) {
            snprintf(line, sizeof line,
                     "<module name=\"m%d\" version=\"%d.%d.%d\" size=\"%d\" ok=\"1\" url=\"%d.z\">"
                     "Caf\xC3\xA9 &amp; %d</module>\n",
                     i, i % 13, i % 7, i, i * 37, i, i);
            d += line;
        }
        d += "</updater>\n";
        return d;
    }();
    return doc;
}

const int kManyAttrs = 200000;

const std::string& ManyAttrsDocument()
{
    static const std::string doc = [] {
        std::string d = "<updater";
        char attr[64];
        for (int i = 0; i < kManyAttrs; i++) {
            snprintf(attr, sizeof attr, " a%d=\"%d\"", i, i);
            d += attr;
        }
        d += "/>";
        return d;
    }();
    return doc;
}

const char* const kAttrs[] = {"name", "version", "size", "ok", "url"};

// --- the readers, each parsing, visiting every attribute and text, freeing ---

size_t WalkKw(CXML_Element* root)
{
    size_t sink = 0;
    if (!root)
        return 0;
    unsigned count = root->CountChildren();
    for (unsigned i = 0; i < count; i++) {
        const CXML_Element* e = root->GetElement(i);
        if (!e)
            continue;
        for (const char* name : kAttrs) {
            const CKW_WideStringL* value = e->GetAttrValuePtr(CKW_ByteStringC(name));
            sink += value ? (size_t)value->m_Length : 0;
        }
        const CKW_WideStringL* text = e->GetContentPtr(0);
        sink += text ? (size_t)text->m_Length : 0;
    }
    CXML_Element::Destroy(root);
    return sink;
}

// The engine's own call: default memory.
size_t RunKw(const std::string& doc)
{
    return WalkKw(CXML_Element::Parse(doc.data(), doc.size(), false, nullptr, nullptr, false, false));
}

// The whole tree in one arena made for the document.
size_t RunKwArena(const std::string& doc)
{
    CXML_Arena arena;
    return WalkKw(CXML_Element::Parse(doc.data(), doc.size(), false, nullptr, &arena, false, false));
}

size_t RunPugi(const std::string& doc)
{
    size_t sink = 0;
    pugi::xml_document d;
    if (!d.load_buffer(doc.data(), doc.size()))
        return 0;
    for (pugi::xml_node e : d.document_element().children()) {
        for (const char* name : kAttrs)
            sink += strlen(e.attribute(name).value());
        sink += strlen(e.child_value());
    }
    return sink;
}

struct ExpatState {
    size_t sink = 0;
};

size_t RunExpat(const std::string& doc)
{
    ExpatState state;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char*, const XML_Char** attrs) {
            ExpatState* s = (ExpatState*)data;
            for (int i = 0; attrs[i]; i += 2)
                s->sink += strlen(attrs[i + 1]);
        },
        [](void*, const XML_Char*) {});
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char*, int len) { ((ExpatState*)data)->sink += len; });
    XML_Parse(parser, doc.data(), (int)doc.size(), 1);
    XML_ParserFree(parser);
    return state.sink;
}

size_t RunQt(const std::string& doc)
{
    size_t sink = 0;
    QXmlStreamReader reader(QByteArray::fromRawData(doc.data(), (int)doc.size()));
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            QXmlStreamAttributes attrs = reader.attributes();
            for (const QXmlStreamAttribute& a : attrs)
                sink += (size_t)a.value().size();
            break;
        }
        case QXmlStreamReader::Characters:
            sink += (size_t)reader.text().size();
            break;
        default:
            break;
        }
    }
    return sink;
}

struct Reader {
    const char* name;
    size_t (*run)(const std::string&);
};
const Reader kReaders[] = {{"CXML_Element", RunKw},
                           {"CXML_Element+arena", RunKwArena},
                           {"pugixml", RunPugi},
                           {"expat", RunExpat},
                           {"QXmlStreamReader", RunQt}};

bool IsKw(const Reader& r)
{
    return r.run == RunKw || r.run == RunKwArena;
}

void BM_Parse(benchmark::State& state, const Reader* reader)
{
    const std::string& doc = Document();
    for (auto _ : state)
        benchmark::DoNotOptimize(reader->run(doc));
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)doc.size());
}

void BM_ManyAttributes(benchmark::State& state)
{
    const std::string& doc = ManyAttrsDocument();
    for (auto _ : state) {
        CXML_Element* root = CXML_Element::Parse(doc.data(), doc.size());
        if (!root || root->CountAttrs() != kManyAttrs)
            state.SkipWithError("attributes lost");
        delete root;
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)doc.size());
}

// Heap blocks that a parsed tree holds per element: the default memory
// manager's live blocks, or the arena's.
struct BlockCount {
    double defaultPerElement;
    double arenaPerElement;
};

BlockCount CountBlocks()
{
    const std::string& doc = Document();
    const double elements = kElements + 1;
    BlockCount count = {-1, -1};
    {
        ScopedCountingDefault counting;
        size_t before = counting.LiveBlocks();
        CXML_Element* root = CXML_Element::Parse(doc.data(), doc.size());
        count.defaultPerElement = (double)(counting.LiveBlocks() - before) / elements;
        delete root;
    }
    CXML_Arena arena;
    CXML_Element* root = CXML_Element::Parse(doc.data(), doc.size(), false, nullptr, &arena);
    count.arenaPerElement = (double)arena.GetHeapBlocks() / elements;
    CXML_Element::Destroy(root);
    return count;
}

// --- peak memory: each reader in a child process of its own -------------------

long ReadStatusKb(const char* field)
{
    FILE* f = fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long value = -1;
    size_t n = strlen(field);
    while (fgets(line, sizeof line, f)) {
        if (strncmp(line, field, n) == 0) {
            value = atol(line + n);
            break;
        }
    }
    fclose(f);
    return value;
}

struct ColdRun {
    double milliseconds;   // first run in a fresh process: the heap grows
    long peakKb;           // resident memory at the peak above the document
};

// Each reader once in a child process of its own, which starts with the
// document in memory and nothing else of the readers.
ColdRun RunCold(const Reader& reader)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {-1, -1};
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        malloc_trim(0);
        long before = ReadStatusKb("VmRSS:");
        int fd = open("/proc/self/clear_refs", O_WRONLY);
        if (fd >= 0) {
            (void)!write(fd, "5", 1);   // resets the peak to the current size
            close(fd);
        }
        auto start = std::chrono::steady_clock::now();
        reader.run(Document());
        ColdRun result;
        result.milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        result.peakKb = ReadStatusKb("VmHWM:") - before;
        (void)!write(fds[1], &result, sizeof result);
        _exit(0);
    }
    close(fds[1]);
    ColdRun result = {-1, -1};
    if (read(fds[0], &result, sizeof result) != (ssize_t)sizeof result)
        result = {-1, -1};
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "C");
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");

    const std::string& doc = Document();
    printf("document: %.1f MB, %d elements with 5 attributes and text each\n", doc.size() / 1048576.0, kElements);

    // Cold runs first, each in a fresh child process.
    std::map<std::string, ColdRun> cold;
    for (const Reader& r : kReaders)
        cold[r.name] = RunCold(r);

    // The timed runs measure a warm process: freed memory stays with the
    // heap instead of going back to the system after every document, for
    // every reader alike.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    for (const Reader& r : kReaders)
        benchmark::DoNotOptimize(r.run(doc));

    const BlockCount blocks = CountBlocks();

    for (const Reader& r : kReaders)
        benchmark::RegisterBenchmark((std::string("Parse/") + r.name).c_str(), BM_Parse, &r)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Parse/CXML_Element/200000Attributes", BM_ManyAttributes)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto time = [&](const char* name) { return reporter.Time(std::string("Parse/") + name); };
    const double qt = time("QXmlStreamReader"), pugi = time("pugixml");
    for (const char* kwName : {"CXML_Element", "CXML_Element+arena"}) {
        double kw = time(kwName);
        if (kw <= 0)
            continue;
        printf("\nWarm time of %s relative to each reader (below 1 = faster):\n", kwName);
        for (const Reader& r : kReaders) {
            if (IsKw(r) || time(r.name) <= 0)
                continue;
            printf("  vs %-19s %6.2fx\n", r.name, kw / time(r.name));
        }
        if (qt > 0 && pugi > 0) {
            printf("  goal: faster than QXmlStreamReader: %s; within 3x of pugixml: %s\n",
                   GoalWord(kw < qt), GoalWord(kw <= 3 * pugi));
        }
    }
    if (time("CXML_Element") > 0 && time("CXML_Element+arena") > 0)
        printf("  arena row against the default row: %.2fx\n", time("CXML_Element+arena") / time("CXML_Element"));
    double many = time("CXML_Element/200000Attributes");
    if (many > 0) {
        printf("\nOne element with %d attributes (%.1f MB): %.1f ms\n", kManyAttrs,
               ManyAttrsDocument().size() / 1048576.0, many);   // reported in ms
    }
    printf("\nHeap blocks per parsed element (live while the tree exists):\n");
    printf("  CXML_Element          %6.2f\n", blocks.defaultPerElement);
    printf("  CXML_Element+arena    %6.4f\n", blocks.arenaPerElement);
    printf("\nCold first run in a fresh process, and its peak memory above the document:\n");
    for (const Reader& r : kReaders) {
        const ColdRun& c = cold[r.name];
        printf("  %-19s %8.1f ms %8.1f MB", r.name, c.milliseconds, c.peakKb / 1024.0);
        if (!IsKw(r) && c.milliseconds > 0)
            printf("   CXML_Element cold time %.2fx", cold["CXML_Element"].milliseconds / c.milliseconds);
        printf("\n");
    }
    benchmark::Shutdown();
    return 0;
}
