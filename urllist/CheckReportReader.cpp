#include "urllist/CheckReportReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/base/CodePage.h"
#include "framework/io/CFile.h"
#include "urllist/CheckReportLines.h"
#include "urllist/Validity.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr UINT kChunk = 1 << 20;
// A record that runs on this long has lost a closing quote.
constexpr std::size_t kLongestRecord = 16u << 20;
// How much of a line that does not fit the user is shown.
constexpr std::size_t kShownBytes = 120;

// The file's records: a record ends at a line feed outside quotes, and a CR
// right before it goes with it.
class RecordReader {
public:
    explicit RecordReader(CFile& file)
        : m_file(file)
    {
    }

    // The next record, valid until the next call, and the line it starts
    // on. False at the end of the file, on a read error (the file says so)
    // and for a record that does not end, which is then in `record`.
    bool Next(std::string_view& record, int& line)
    {
        std::size_t begin = m_next;
        std::size_t scanned = begin;
        bool quoted = false;
        line = m_line + 1;
        for (;;) {
            const std::size_t end = m_buffer.find('\n', scanned);
            const std::size_t stop = end == std::string::npos ? m_buffer.size() : end;
            // Quotes are rare: a search finds them faster than a count.
            const std::string_view span = std::string_view(m_buffer).substr(scanned, stop - scanned);
            std::size_t quotes = 0;
            for (std::size_t quote = span.find('"'); quote != std::string_view::npos;
                 quote = span.find('"', quote + 1))
                ++quotes;
            quoted = quoted != (quotes % 2 != 0);
            if (end != std::string::npos) {
                ++m_line;
                scanned = end + 1;
                if (quoted)
                    continue;
                m_next = scanned;
                record = std::string_view(m_buffer).substr(begin, end - begin);
                if (record.ends_with('\r'))
                    record.remove_suffix(1);
                return true;
            }
            scanned = m_buffer.size();
            record = std::string_view(m_buffer).substr(begin);
            if (m_atEnd) {
                m_next = scanned;
                return !record.empty() && !quoted && !m_file.Failed();
            }
            if (record.size() > kLongestRecord)
                return false;
            // The records read so far make room for the next chunk.
            m_buffer.erase(0, begin);
            scanned -= begin;
            begin = 0;
            const std::size_t had = m_buffer.size();
            m_buffer.resize(had + kChunk);
            const UINT read = m_file.Read(m_buffer.data() + had, kChunk);
            m_buffer.resize(had + read);
            m_atEnd = read == 0;
        }
    }

private:
    CFile& m_file;
    std::string m_buffer;
    std::size_t m_next = 0; // where the record after the last one begins
    int m_line = 0; // line feeds passed
    bool m_atEnd = false;
};

// A record's fields, unquoted; an unquoted field is a view of the record.
class Fields {
public:
    // False for a record whose quotes are out of place, or that has more
    // fields than a report.
    bool Split(std::string_view record)
    {
        m_count = 0;
        std::size_t at = 0;
        for (;;) {
            if (m_count == CheckReportLines::kColumns)
                return false;
            std::string_view& field = m_fields[m_count];
            if (at < record.size() && record[at] == '"') {
                std::string& unquoted = m_unquoted[m_count];
                unquoted.clear();
                for (++at;; ++at) {
                    if (at >= record.size())
                        return false;
                    if (record[at] == '"') {
                        if (at + 1 < record.size() && record[at + 1] == '"')
                            ++at;
                        else
                            break;
                    }
                    unquoted += record[at];
                }
                field = unquoted;
                ++at;
                if (at < record.size() && record[at] != ',')
                    return false;
            } else {
                const std::size_t begin = at;
                at = std::min(record.find(',', at), record.size());
                field = record.substr(begin, at - begin);
            }
            ++m_count;
            if (at >= record.size())
                return true;
            ++at; // the comma
        }
    }
    std::size_t Count() const { return m_count; }
    std::string_view operator[](std::size_t index) const { return m_fields[index]; }

private:
    std::array<std::string_view, CheckReportLines::kColumns> m_fields;
    std::array<std::string, CheckReportLines::kColumns> m_unquoted;
    std::size_t m_count = 0;
};

bool ToNumber(std::string_view text, unsigned long& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// A field in the program's code page; false when it is not UTF-8.
bool ToAnsi(std::string_view field, std::string& ansi)
{
    field = CheckReportLines::WithoutNeutraliser(field);
    // Most fields are ASCII, the same in both, and reuse `ansi`'s memory.
    if (IsAscii(field)) {
        ansi.assign(field);
        return true;
    }
    bool complete = true;
    ansi = Utf8ToAnsi(field, &complete);
    return complete;
}

// What a "说明" text says, read once for each distinct text.
class OutcomeTexts {
public:
    // Null for a text that tells no outcome.
    const ProbeDetails* Read(std::string_view utf8)
    {
        // Rows in a row often say the same.
        if (m_last && utf8 == m_last->first)
            return m_last->second.known ? &m_last->second.details : nullptr;
        auto found = m_read.find(utf8);
        if (found == m_read.end()) {
            if (m_read.size() >= kMostTexts)
                m_read.clear();
            Entry entry;
            std::string ansi;
            entry.known = ToAnsi(utf8, ansi) && ReadProbeOutcome(CString(std::move(ansi)), entry.details);
            found = m_read.emplace(utf8, std::move(entry)).first;
        }
        m_last = &*found;
        return found->second.known ? &found->second.details : nullptr;
    }

private:
    static constexpr std::size_t kMostTexts = 1024;
    struct Entry {
        bool known = false;
        ProbeDetails details;
    };
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view> {}(text); }
    };
    std::unordered_map<std::string, Entry, Hash, std::equal_to<>> m_read;
    const std::pair<const std::string, Entry>* m_last = nullptr; // stays valid: entries never move
};

// The validity texts a report holds, in UTF-8, with what each comes back as.
class ValidityTexts {
public:
    ValidityTexts()
    {
        for (const CString* text : { &Validity::Valid(), &Validity::Invalid(), &Validity::TimedOut(),
                 &Validity::BadFormat(), &Validity::Ignored() })
            m_texts.emplace_back(text->ToUtf8(), text);
        m_texts.emplace_back(Validity::Running().ToUtf8(), &m_unchecked);
        m_texts.emplace_back(std::string(), &m_unchecked);
    }
    // Null for a text the list never shows.
    const CString* Find(std::string_view utf8) const
    {
        for (const auto& [text, validity] : m_texts) {
            if (text == utf8)
                return validity;
        }
        return nullptr;
    }

private:
    CString m_unchecked;
    std::vector<std::pair<std::string, const CString*>> m_texts;
};

enum Column { kLine, kUrl, kValidity, kStatus, kFinalUrl, kOutcome, kElapsed };

class RowReader {
public:
    // Hands the row that `fields` hold to `takeRow`; false when they do not
    // fit.
    bool Take(const Fields& fields, const std::function<void(const CheckReportRow&)>& takeRow)
    {
        unsigned long line = 0;
        const CString* validity = nullptr;
        if (fields.Count() != CheckReportLines::kColumns || !ToNumber(fields[kLine], line) || line == 0
            || line > 0x7FFFFFFF || !ToAnsi(fields[kUrl], m_url)
            || !(validity = m_validities.Find(fields[kValidity])))
            return false;
        if (fields[kOutcome].empty()) {
            if (!fields[kStatus].empty() || !fields[kFinalUrl].empty() || !fields[kElapsed].empty())
                return false;
            takeRow({ static_cast<int>(line), m_url.c_str(), *validity, nullptr });
            return true;
        }
        const ProbeDetails* outcome = m_outcomes.Read(fields[kOutcome]);
        unsigned long status = 0;
        unsigned long elapsed = 0;
        if (!outcome
            || !(fields[kStatus].empty()
                || (ToNumber(fields[kStatus], status) && status >= 1 && status <= 999))
            || !ToNumber(fields[kElapsed], elapsed) || elapsed > 0xFFFFFFFFu
            || (outcome->outcome == ProbeOutcome::HttpStatus && outcome->dwStatus != status)
            || !ToAnsi(fields[kFinalUrl], m_finalUrl))
            return false;
        m_details = *outcome;
        m_details.dwStatus = static_cast<DWORD>(status);
        m_details.strFinalUrl.SetString(m_finalUrl.data(), static_cast<int>(m_finalUrl.size()));
        m_details.dwElapsedMs = static_cast<DWORD>(elapsed);
        m_details.dwBytesRead = kBytesReadUnknown;
        const bool unchecked = validity->IsEmpty();
        takeRow({ static_cast<int>(line), m_url.c_str(), *validity, unchecked ? nullptr : &m_details });
        return true;
    }

private:
    ValidityTexts m_validities;
    OutcomeTexts m_outcomes;
    std::string m_url;
    std::string m_finalUrl;
    ProbeDetails m_details;
};

// The beginning of a line that does not fit, for the user.
CString Shown(std::string_view record)
{
    const bool cut = record.size() > kShownBytes;
    std::string text(record.substr(0, kShownBytes));
    // A character cut in two becomes one stand-in.
    CString shown(Utf8ToAnsi(text));
    return cut ? shown + "..." : shown;
}

} // namespace

BOOL ReadCheckReport(
    LPCSTR path, const std::function<void(const CheckReportRow&)>& takeRow, CheckReportProblem& problem)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeBinary)) {
        problem = { 0, file.GetLastErrorText() };
        return FALSE;
    }
    RecordReader records(file);
    RowReader reader;
    Fields fields;
    std::string_view record;
    int line = 0;
    bool header = true;
    while (records.Next(record, line)) {
        if (header) {
            if (record.starts_with(kByteOrderMark))
                record.remove_prefix(kByteOrderMark.size());
            if (record != CheckReportLines::HeaderFields())
                break;
            header = false;
            continue;
        }
        if (record.empty())
            continue;
        if (!fields.Split(record) || !reader.Take(fields, takeRow))
            break;
        record = {};
    }
    if (file.Failed()) {
        problem = { 0, file.GetLastErrorText() };
        return FALSE;
    }
    if (header || !record.empty()) {
        problem = { std::max(line, 1), Shown(record) };
        return FALSE;
    }
    return TRUE;
}
