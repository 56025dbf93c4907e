#include "export/PdfLayers.h"

#include "export/PdfPicture.h"
#include "export/PdfPictureMarker.h"
#include "export/PictureFile.h"

#include <podofo/podofo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

using namespace PoDoFo;

namespace {

bool isMarkerImage(PdfObject* object) {
    if (!object->IsDictionary() || !object->HasStream()) return false;
    const PdfDictionary& d = object->GetDictionary();
    const PdfObject* subtype = d.GetKey(PdfName::KeySubtype);
    const PdfObject* width = d.GetKey(PdfName("Width"));
    const PdfObject* height = d.GetKey(PdfName("Height"));
    return subtype && subtype->IsName() && subtype->GetName() == PdfName("Image") && width && width->IsNumber() &&
           width->GetNumber() == kPictureMarkerWidth && height && height->IsNumber() && height->GetNumber() == 1 &&
           !d.HasKey(PdfName("SMask"));
}

void putStream(PdfObject* object, const QByteArray& data) {
    PdfMemoryInputStream in(data.constData(), data.size());
    object->GetStream()->SetRawData(&in, data.size());
}

void setImageKeys(PdfDictionary& d, int width, int height, int components) {
    d.AddKey(PdfName("Width"), PdfVariant(static_cast<pdf_int64>(width)));
    d.AddKey(PdfName("Height"), PdfVariant(static_cast<pdf_int64>(height)));
    d.AddKey(PdfName("BitsPerComponent"), PdfVariant(static_cast<pdf_int64>(8)));
    d.AddKey(PdfName("ColorSpace"), PdfName(components == 1 ? "DeviceGray" : "DeviceRGB"));
    d.AddKey(PdfName::KeyFilter, PdfName("FlateDecode"));
}

void putFile(PdfObject* object, const PictureFile& file) {
    PdfDictionary& d = object->GetDictionary();
    if (file.kind == PictureFile::Jpeg) {
        PdfImage image(object);
        image.LoadFromJpegData(reinterpret_cast<const unsigned char*>(file.bytes.constData()), file.bytes.size());
        d.AddKey(PdfName::KeyFilter, PdfName("DCTDecode"));
        return;
    }
    putStream(object, file.pngData);
    setImageKeys(d, file.width, file.height, file.components);
    PdfDictionary parms;
    parms.AddKey(PdfName("Predictor"), PdfVariant(static_cast<pdf_int64>(15)));
    parms.AddKey(PdfName("Colors"), PdfVariant(static_cast<pdf_int64>(file.components)));
    parms.AddKey(PdfName("BitsPerComponent"), PdfVariant(static_cast<pdf_int64>(8)));
    parms.AddKey(PdfName("Columns"), PdfVariant(static_cast<pdf_int64>(file.width)));
    d.AddKey(PdfName("DecodeParms"), parms);
}

void putPixels(PdfMemDocument& doc, PdfObject* object, const PdfPixels& pixels) {
    putStream(object, pixels.rgb);
    PdfDictionary& d = object->GetDictionary();
    setImageKeys(d, pixels.width, pixels.height, 3);
    if (pixels.alpha.isEmpty()) return;
    PdfObject* mask = doc.GetObjects().CreateObject("XObject");
    PdfDictionary& m = mask->GetDictionary();
    m.AddKey(PdfName::KeySubtype, PdfName("Image"));
    setImageKeys(m, pixels.width, pixels.height, 1);
    putStream(mask, pixels.alpha);
    d.AddKey(PdfName("SMask"), mask->Reference());
}

void putPicture(PdfMemDocument& doc, PdfObject* object, const PdfPicture& picture) {
    PdfDictionary& d = object->GetDictionary();
    d.RemoveKey(PdfName("DecodeParms"));
    d.RemoveKey(PdfName("Decode"));
    if (picture.file)
        putFile(object, *picture.file);
    else
        putPixels(doc, object, picture.pixels);
}

double hundredths(double v) { return std::round(v * 100) / 100; }

PdfArray boxArray(double left, double bottom, double right, double top) {
    PdfArray a;
    for (const double v : {left, bottom, right, top}) a.push_back(PdfVariant(hundredths(v)));
    return a;
}

// Qt's content maps a point y from the top to qtHeight - y: the exact page
// keeps that top edge and ends where the exact height does.
void setPageBoxes(PdfPage* page, double qtHeight, const PdfPageBoxes& b) {
    PdfDictionary& d = page->GetObject()->GetDictionary();
    const double top = qtHeight;
    const double bottom = qtHeight - b.pagePoints.height();
    const QRectF paper(0, 0, b.pagePoints.width(), b.pagePoints.height());
    auto put = [&](const char* key, const QRectF& r) {
        d.AddKey(PdfName(key), boxArray(r.left(), top - r.bottom(), r.right(), top - r.top()));
    };
    d.AddKey(PdfName("MediaBox"), boxArray(0, bottom, b.pagePoints.width(), top));
    if (b.trimPoints.isEmpty()) return;
    const QRectF trim = b.trimPoints.intersected(paper);
    const double g = std::max(b.bleedPoints, 0.0);
    put("TrimBox", trim);
    put("BleedBox", trim.adjusted(-g, -g, g, g).intersected(paper));
}

// Markers are collected first: new mask objects must not join the list
// being walked.
void putPictures(PdfMemDocument& doc, const std::vector<PdfPicture>& pictures) {
    if (pictures.empty()) return;
    std::vector<std::pair<PdfObject*, int>> markers;
    for (PdfObject* object : doc.GetObjects()) {
        if (!isMarkerImage(object)) continue;
        char* buffer = nullptr;
        pdf_long length = 0;
        object->GetStream()->GetFilteredCopy(&buffer, &length);
        const int index = pictureMarkerIndex(QByteArray(buffer, static_cast<int>(length)));
        podofo_free(buffer);
        if (index >= 0 && size_t(index) < pictures.size()) markers.push_back({object, index});
    }
    for (const auto& [object, index] : markers) putPicture(doc, object, pictures[size_t(index)]);
}

}  // namespace

bool stackPdfPagesAsLayers(const QByteArray& pages, const std::vector<PdfLayerName>& layers, QByteArray& out,
                           QString& error, const std::vector<PdfPicture>& pictures, const PdfPageBoxes* boxes,
                           int outPages) {
    // The library's diagnostics would land on the program's stdout.
    PdfError::EnableDebug(false);
    PdfError::EnableLogging(false);
    try {
        PdfMemDocument doc;
        doc.LoadFromBuffer(pages.constData(), pages.size());
        const int count = doc.GetPageCount();
        const int layerCount = static_cast<int>(layers.size());
        if (outPages < 1 || layerCount < 1 || count != layerCount * outPages) {
            error = QStringLiteral("Die Ebenen der PDF-Datei passen nicht zusammen.");
            return false;
        }
        const PdfRect size = doc.GetPage(0)->GetMediaBox();
        putPictures(doc, pictures);

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
        PdfArray groups;
        std::vector<PdfReference> groupRefs;
        for (int i = 0; i < layerCount; ++i) {
            PdfObject* group = doc.GetObjects().CreateObject("OCG");
            const QByteArray label = layers[size_t(i)].label.toUtf8();
            group->GetDictionary().AddKey(PdfName("Name"),
                                          PdfString(reinterpret_cast<const pdf_utf8*>(label.constData())));
            groups.push_back(group->Reference());
            groupRefs.push_back(group->Reference());
        }
        for (int p = 0; p < outPages; ++p) {
            PdfPage* page = doc.CreatePage(size);
            PdfDictionary properties;
            std::string content;
            for (int i = 0; i < layerCount; ++i) {
                const std::string key = "OC" + std::to_string(i + 1);
                properties.AddKey(PdfName(key), groupRefs[size_t(i)]);
                const std::string name = "Ebene" + std::to_string(i + 1);
                page->AddResource(PdfName(name), forms[size_t(p * layerCount + i)], PdfName("XObject"));
                content += "/OC /" + key + " BDC q /" + name + " Do Q EMC\n";
            }
            page->GetResources()->GetDictionary().AddKey(PdfName("Properties"), properties);
            if (boxes) setPageBoxes(page, size.GetBottom() + size.GetHeight(), *boxes);
            PdfStream* stream = page->GetContentsForAppending()->GetStream();
            stream->BeginAppend();
            stream->Append(content.data(), static_cast<pdf_long>(content.size()));
            stream->EndAppend();
        }

        // Only the new pages stay; the layer pages' contents live on as their forms.
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
