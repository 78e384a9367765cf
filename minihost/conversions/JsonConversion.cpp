// "com.minihost.json": qpdf's JSON (version 2), a complete form of the document from
// which qpdf can make the PDF again (stream data inline, base64).
#include "minihost/conversions/Conversions.h"

#include <qpdf/Pl_String.hh>
#include <qpdf/QPDF.hh>

namespace minihost {

std::string ConvertToJson(QPDF& pdf) {
    std::string json;
    Pl_String pipeline("json", nullptr, json);
    pdf.writeJSON(2, &pipeline, qpdf_dl_none, qpdf_sj_inline, "", {});
    pipeline.finish();
    return json;
}

} // namespace minihost
