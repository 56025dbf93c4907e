#include "render/PdfLayers.h"

#include <podofo/podofo.h>

#include <memory>
#include <string>

using namespace PoDoFo;

bool stackPdfPagesAsLayers(const QByteArray& pages, const std::vector<PdfLayerName>& layers, QByteArray& out,
                           QString& error) {
    // The library's diagnostics would land on the program's stdout.
    PdfError::EnableDebug(false);
    PdfError::EnableLogging(false);
    try {
        PdfMemDocument doc;
        doc.LoadFromBuffer(pages.constData(), pages.size());
        const int count = doc.GetPageCount();
        if (count != static_cast<int>(layers.size()) || count < 1) {
            error = QStringLiteral("Die Ebenen der PDF-Datei passen nicht zusammen.");
            return false;
        }
        const PdfRect size = doc.GetPage(0)->GetMediaBox();

        // Each layer page's content stream becomes, as it is, a form that the
        // new page draws once: no decoding and encoding a second time.
        std::vector<PdfReference> forms;
        for (int i = 0; i < count; ++i) {
            PdfPage* layerPage = doc.GetPage(i);
            PdfObject* contents = layerPage->GetContents();
            if (!contents || !contents->HasStream()) {
                error = QStringLiteral("Eine Ebene der PDF-Datei hat keinen Inhalt.");
                return false;
            }
            PdfDictionary& form = contents->GetDictionary();
            form.AddKey(PdfName::KeyType, PdfName("XObject"));
            form.AddKey(PdfName::KeySubtype, PdfName("Form"));
            PdfVariant box;
            size.ToVariant(box);
            form.AddKey(PdfName("BBox"), box);
            PdfObject* resources = layerPage->GetResources();
            if (resources) {
                if (resources->Reference().IsIndirect())
                    form.AddKey(PdfName("Resources"), resources->Reference());
                else
                    form.AddKey(PdfName("Resources"), *resources);
            }
            forms.push_back(contents->Reference());
        }
        PdfPage* page = doc.CreatePage(size);

        PdfArray groups;
        PdfDictionary properties;
        std::string content;
        for (int i = 0; i < count; ++i) {
            PdfObject* group = doc.GetObjects().CreateObject("OCG");
            const QByteArray label = layers[size_t(i)].label.toUtf8();
            group->GetDictionary().AddKey(PdfName("Name"),
                                          PdfString(reinterpret_cast<const pdf_utf8*>(label.constData())));
            groups.push_back(group->Reference());
            const std::string key = "OC" + std::to_string(i + 1);
            properties.AddKey(PdfName(key), group->Reference());
            const std::string name = "Ebene" + std::to_string(i + 1);
            page->AddResource(PdfName(name), forms[size_t(i)], PdfName("XObject"));
            content += "/OC /" + key + " BDC q /" + name + " Do Q EMC\n";
        }
        page->GetResources()->GetDictionary().AddKey(PdfName("Properties"), properties);
        PdfStream* stream = page->GetContentsForAppending()->GetStream();
        stream->BeginAppend();
        stream->Append(content.data(), static_cast<pdf_long>(content.size()));
        stream->EndAppend();

        // Only the new page stays; the layer pages' contents live on as its forms.
        doc.DeletePages(0, count);

        PdfDictionary config;
        config.AddKey(PdfName("Name"), PdfString("Ebenen"));
        config.AddKey(PdfName("Order"), groups);
        config.AddKey(PdfName("ON"), groups);
        PdfDictionary ocProperties;
        ocProperties.AddKey(PdfName("OCGs"), groups);
        ocProperties.AddKey(PdfName("D"), config);
        doc.GetCatalog()->GetDictionary().AddKey(PdfName("OCProperties"), ocProperties);
        // Optional content needs PDF 1.5.
        doc.SetPdfVersion(ePdfVersion_1_5);

        PdfRefCountedBuffer buffer;
        PdfOutputDevice device(&buffer);
        doc.Write(&device);
        out = QByteArray(buffer.GetBuffer(), static_cast<int>(device.GetLength()));
        return true;
    } catch (const PdfError& e) {
        error = QStringLiteral("Die Ebenen der PDF-Datei konnten nicht angelegt werden (%1).")
                    .arg(QString::fromUtf8(PdfError::ErrorMessage(e.GetError())));
        return false;
    }
}
