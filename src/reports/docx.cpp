#include "reports/docx.h"
#include "reports/docx_corpo.h"

#include "core/scrittura.h"

#include <QFont>
#include <QIODevice>
#include <QTextDocument>

#include <zip.h>

#include <cmath>

namespace perix {

namespace {

// The document's default type, and the plain table the word processor starts from.
QByteArray styles(const QFont &font)
{
    ParteXml x;
    return x.part([&] {
        x.open("styles");
        x.open("docDefaults");
        x.open("rPrDefault");
        x.open("rPr");
        x.fonts(font.family());
        const QString half = QString::number(std::lround((font.pointSizeF() > 0 ? font.pointSizeF() : 12.0) * 2));
        x.val("sz", half);
        x.val("szCs", half);
        x.val("lang", QStringLiteral("it-IT"));
        x.close(2);
        x.open("pPrDefault");
        x.open("pPr");
        x.leaf("spacing", {{"after", QStringLiteral("0")}, {"line", QStringLiteral("240")}, {"lineRule", QStringLiteral("auto")}});
        x.close(3); // docDefaults

        x.open("style", {{"type", QStringLiteral("paragraph")}, {"default", QStringLiteral("1")}, {"styleId", QStringLiteral("Normal")}});
        x.val("name", QStringLiteral("Normal"));
        x.leaf("qFormat");
        x.close();

        x.open("style", {{"type", QStringLiteral("table")}, {"default", QStringLiteral("1")}, {"styleId", QStringLiteral("TableNormal")}});
        x.val("name", QStringLiteral("Normal Table"));
        x.open("tblPr");
        x.leaf("tblInd", {{"w", QStringLiteral("0")}, {"type", QStringLiteral("dxa")}});
        x.cellMargins(0, 108, 0, 108);
        x.close(3); // styles
    });
}

const char contentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
    R"(</Types>)";

const char packageRelationships[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
    R"(</Relationships>)";

const char documentRelationships[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";

// The two lists that name the pictures: the PNG type once, and one relationship each.
QByteArray withPictures(const char *xml, const QByteArray &before, const QByteArray &added)
{
    QByteArray out(xml);
    out.insert(out.indexOf(before), added);
    return out;
}

struct Part {
    QByteArray name;
    QByteArray bytes;
};

// Zips the parts in memory: libzip writes into a growing buffer source we read back.
QByteArray zip(const QList<Part> &parts, QString *motivo)
{
    auto fail = [&](const QString &why) {
        falso(motivo, QStringLiteral("impossibile comporre il pacchetto del documento: ") + why);
        return QByteArray();
    };
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t *archive = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
    if (!archive) {
        const QString why = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        if (buffer)
            zip_source_free(buffer);
        return fail(why);
    }
    zip_error_fini(&error);
    zip_source_keep(buffer); // still needed after zip_close, to read the bytes back
    const auto abandon = [&] {
        const QString why = QString::fromLocal8Bit(zip_strerror(archive));
        zip_discard(archive);
        zip_source_free(buffer);
        return fail(why);
    };

    for (const Part &p : parts) {
        zip_source_t *s = zip_source_buffer(archive, p.bytes.constData(), zip_uint64_t(p.bytes.size()), 0);
        const zip_int64_t index = s ? zip_file_add(archive, p.name.constData(), s, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (s)
                zip_source_free(s);
            return abandon();
        }
        // A picture is compressed already: deflating it again costs time and saves nothing.
        if (p.name.endsWith(".png"))
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(archive) < 0)
        return abandon();

    QByteArray out;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(buffer, &st) < 0 || zip_source_open(buffer) < 0) {
        const QString why = QString::fromLocal8Bit(zip_error_strerror(zip_source_error(buffer)));
        zip_source_free(buffer);
        return fail(why);
    }
    out.resize(qsizetype(st.size));
    const zip_int64_t read = zip_source_read(buffer, out.data(), st.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    if (read < 0 || zip_uint64_t(read) != st.size)
        return fail(QStringLiteral("lettura del pacchetto incompleta"));
    return out;
}

} // namespace

QByteArray componiDocx(const QTextDocument &documento, QString *motivo)
{
    const CorpoDocx corpo = corpoDocx(documento);
    QByteArray types(contentTypes);
    QByteArray relationships(documentRelationships);
    if (!corpo.immagini.isEmpty()) {
        types = withPictures(contentTypes, "<Default Extension=\"xml\"",
                             R"(<Default Extension="png" ContentType="image/png"/>)");
        QByteArray each;
        for (const ImmagineDocx &p : corpo.immagini)
            each += QStringLiteral(R"(<Relationship Id="%1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" Target="%2"/>)")
                        .arg(p.relazione, p.parte)
                        .toUtf8();
        relationships = withPictures(documentRelationships, "</Relationships>", each);
    }
    if (!corpo.piede.isEmpty()) {
        types = withPictures(types.constData(), "</Types>",
                             R"(<Override PartName="/word/footer1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"/>)");
        relationships = withPictures(relationships.constData(), "</Relationships>",
                                     QStringLiteral(R"(<Relationship Id="%1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer" Target="footer1.xml"/>)")
                                         .arg(relazionePiede)
                                         .toUtf8());
    }
    QList<Part> parts = {
        {"[Content_Types].xml", types},
        {"_rels/.rels", QByteArray(packageRelationships)},
        {"word/document.xml", corpo.documento},
        {"word/_rels/document.xml.rels", relationships},
        {"word/styles.xml", styles(documento.defaultFont())},
    };
    if (!corpo.piede.isEmpty())
        parts << Part{"word/footer1.xml", corpo.piede};
    for (const ImmagineDocx &p : corpo.immagini)
        parts << Part{"word/" + p.parte.toUtf8(), p.png};
    return zip(parts, motivo);
}

bool scriviDocx(const QTextDocument &documento, QIODevice &dispositivo, QString *motivo)
{
    if (!dispositivo.isWritable())
        return falso(motivo, QStringLiteral("il file non è aperto in scrittura"));
    const QByteArray bytes = componiDocx(documento, motivo);
    if (bytes.isEmpty())
        return false;
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = dispositivo.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString why = dispositivo.errorString();
            return falso(motivo, why.isEmpty() || why == QLatin1String("Unknown error")
                                     ? QStringLiteral("la scrittura si è interrotta")
                                     : why);
        }
        done += n;
    }
    return true;
}

bool scriviDocx(const QTextDocument &documento, const QString &percorso, QString *motivo)
{
    return scriviAtomico(
        percorso, [&documento](QIODevice &d, QString *m) { return scriviDocx(documento, d, m); }, motivo, modoDocumento);
}

} // namespace perix
