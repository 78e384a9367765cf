// "com.minihost.json": qpdf's JSON (version 2), a complete form of the document from
// which qpdf can make the PDF again (stream data inline, base64).
#include "minihost/conversions/Conversions.h"
#include "minihost/files/FilePipeline.h"

#include <qpdf/QPDF.hh>

namespace minihost {

void ConvertToJson(QPDF& pdf, CNewFile& output, const CPathName& /*target*/) {
    CFilePipeline file(output);
    pdf.writeJSON(2, &file, qpdf_dl_none, qpdf_sj_inline, "", {});
    file.Complete();
}

} // namespace minihost
