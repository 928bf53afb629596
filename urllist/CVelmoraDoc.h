// The document: the single-document template needs one. It holds no rows
// (the list view's cells are the list) but remembers the encoding of the URL
// file the list came from, for the exports to write. A file opened from the
// desktop (named on the command line, dropped on the window) is imported
// into the list by the side panel.
#pragma once

#include "framework/doc/CDocument.h"
#include "framework/io/TextEncoding.h"

class CVelmoraDoc : public CDocument {
    DECLARE_DYNCREATE(CVelmoraDoc)
public:
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCSTR lpszPathName) override;
    void Serialize(CArchive& ar) override;

    TextEncoding GetUrlFileEncoding() const { return m_urlFileEncoding; }
    void SetUrlFileEncoding(TextEncoding encoding) { m_urlFileEncoding = encoding; }

private:
    TextEncoding m_urlFileEncoding = TextEncoding::CodePage;
};
