// The export: the URLs of one kind, each followed by CR LF, into a file the
// user chooses.
#include "app/Hub.h"
#include "app/Messages.h"
#include "framework/io/CFile.h"
#include "framework/io/TextEncoding.h"
#include "urllist/CVelmoraView.h"
#include "urllist/SaveListFile.h"
#include "urllist/Validity.h"

namespace {

bool BelongsToKind(std::string_view validity, int kind)
{
    switch (kind) {
    case EXPORT_VALID:
        return Validity::IsValid(validity);
    case EXPORT_INVALID:
        return Validity::IsInvalid(validity);
    default:
        return true;
    }
}

} // namespace

void CVelmoraView::ExportUrls(int kind)
{
    const HWND hub = HubWindow();
    CListCtrl& list = GetListCtrl();
    int written = 0;
    if (list.GetItemCount() > 0) {
        const SaveDialogOptions options { "TXT", "urls_export.txt",
            CString::FromUtf8("文本文件|*.txt|所有文件|*.*||") };
        // Messages handled while the dialog ran may have changed the list.
        // The file goes out in the encoding the list came in, its mark in
        // front of the first line.
        const TextEncoding encoding = GetUrlFileEncoding();
        written = SaveListFile(*this, options, m_strLastExportFolder, [&list, kind, encoding](CFile& file) {
            std::string lineEnd;
            AppendEncodedText(lineEnd, "\r\n", encoding);
            std::string line(ByteOrderMark(encoding));
            int count = 0;
            for (int row = 0, rows = list.GetItemCount(); row < rows && !file.Failed(); ++row) {
                if (!BelongsToKind(list.GetItemTextView(row, COL_VALIDITY), kind))
                    continue;
                AppendEncodedText(line, list.GetItemTextView(row, COL_URL), encoding);
                line += lineEnd;
                file.Write(line.data(), static_cast<UINT>(line.size()));
                line.clear();
                ++count;
            }
            return count;
        });
    }
    PostMessageA(hub, UM_EXPORT_RESULT, static_cast<WPARAM>(kind), written);
}
