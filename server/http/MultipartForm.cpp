#include "MultipartForm.h"

namespace {

// The value of a parameter (name=value or name="value") in a header value.
QByteArray parameter(const QByteArray& header, const QByteArray& name)
{
    for (QByteArray item : header.split(';')) {
        item = item.trimmed();
        const qsizetype equals = item.indexOf('=');
        if (equals <= 0 || item.left(equals).trimmed().toLower() != name)
            continue;
        QByteArray value = item.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

} // namespace

const MultipartForm::Part* MultipartForm::part(const QByteArray& name) const
{
    for (const Part& p : parts) {
        if (p.name == name)
            return &p;
    }
    return nullptr;
}

QByteArray MultipartForm::field(const QByteArray& name) const
{
    const Part* p = part(name);
    return p && !p->isFile() ? p->data : QByteArray();
}

std::optional<MultipartForm> MultipartForm::parse(const QByteArray& contentType, const QByteArray& body,
                                                  QString* error)
{
    const auto fail = [error](const char* message) -> std::optional<MultipartForm> {
        *error = QString::fromLatin1(message);
        return std::nullopt;
    };
    if (!contentType.trimmed().toLower().startsWith("multipart/form-data"))
        return fail("the body is not multipart/form-data");
    const QByteArray boundary = parameter(contentType, "boundary");
    if (boundary.isEmpty() || boundary.size() > 200)
        return fail("the form has no usable boundary");
    const QByteArray delimiter = "--" + boundary;

    MultipartForm form;
    qsizetype at = body.startsWith(delimiter) ? 0 : body.indexOf(QByteArray("\r\n" + delimiter));
    if (at < 0)
        return fail("the form has no parts");
    at += body.startsWith(delimiter) ? delimiter.size() : delimiter.size() + 2;
    for (;;) {
        if (body.mid(at, 2) == "--")
            return form; // the closing delimiter
        if (body.mid(at, 2) != "\r\n")
            return fail("a delimiter is not followed by a line end");
        at += 2;
        const qsizetype headEnd = body.indexOf("\r\n\r\n", at);
        if (headEnd < 0)
            return fail("a part's headers do not end");
        const qsizetype next = body.indexOf(QByteArray("\r\n" + delimiter), headEnd + 4);
        if (next < 0)
            return fail("the form does not end with its closing delimiter");
        if (form.parts.size() >= MaxParts)
            return fail("the form has too many parts");
        Part part;
        for (const QByteArray& line : body.mid(at, headEnd - at).split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0)
                continue;
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-disposition") {
                part.name = parameter(value, "name");
                part.filename = parameter(value, "filename");
            } else if (name == "content-type") {
                part.contentType = value;
            }
        }
        if (part.name.isEmpty())
            return fail("a part has no name");
        part.data = body.mid(headEnd + 4, next - headEnd - 4);
        form.parts.append(part);
        at = next + 2 + delimiter.size();
    }
}
