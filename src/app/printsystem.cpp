#include "app/printsystem.h"

#include <QFile>
#include <QSizeF>

#include <cups/cups.h>

#include <cerrno>
#include <cstring>

namespace app {

namespace {

/// A connection of its own to the print server, so that a silent server holds this call for
/// `bound` at most: CUPS's shared connection would wait for minutes.
class Connection
{
public:
    explicit Connection(std::chrono::milliseconds bound)
        : http_(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                             int(bound.count()), nullptr))
    {
        if (http_)
            httpSetTimeout(http_, std::chrono::duration<double>(bound).count(), &giveUp, this);
    }
    ~Connection()
    {
        if (http_)
            httpClose(http_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    http_t* http() const { return http_; }
    bool timedOut() const { return timedOut_; }

private:
    static int giveUp(http_t*, void* self)
    {
        static_cast<Connection*>(self)->timedOut_ = true;
        return 0;
    }
    http_t* http_;
    bool timedOut_ = false;
};

/// The queue's address on the server and the resource its requests go to.
std::pair<std::string, std::string> queueAddress(const QString& queue)
{
    const std::string resource = "/printers/" + queue.toStdString();
    char uri[HTTP_MAX_URI];
    httpAssembleURI(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                    resource.c_str());
    return {uri, resource};
}

/// One request on `server`, for `queue`'s attribute `attribute`; the answer, to be deleted.
ipp_t* ask(const Connection& server, ipp_op_t operation, const QString& queue,
           const char* attribute)
{
    ipp_t* request = ippNewRequest(operation);
    const auto [uri, resource] = queueAddress(queue);
    if (!queue.isEmpty())
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 attribute);
    return cupsDoRequest(server.http(), request, queue.isEmpty() ? "/" : resource.c_str());
}

int integer(ipp_t* collection, const char* name)
{
    return ippGetInteger(ippFindAttribute(collection, name, IPP_TAG_INTEGER), 0);
}

} // namespace

std::optional<PrinterAnswer> QtPrintSystem::query() const
{
    const Connection server(bound_);
    if (!server.http())
        return std::nullopt; // no print server, so no printer
    // Whether the server answers at all, on this connection with its bound: CUPS's own look-ups
    // below fall back to connections of their own, which wait for minutes.
    ipp_t* probe = ask(server, IPP_OP_CUPS_GET_PRINTERS, QString(), "printer-name");
    const char* first =
        ippGetString(ippFindAttribute(probe, "printer-name", IPP_TAG_NAME), 0, nullptr);
    std::optional<PrinterAnswer> answer;
    if (first)
        answer = PrinterAnswer{QString(), QString::fromUtf8(first)};
    ippDelete(probe);
    if (!answer)
        return std::nullopt;
    // The user's or the server's default, as lpoptions, LPDEST and lpadmin -d set it.
    if (cups_dest_t* dest = cupsGetNamedDest(server.http(), nullptr, nullptr)) {
        answer->defaultName = answer->queue = QString::fromUtf8(dest->name);
        cupsFreeDests(1, dest);
    }
    return answer;
}

std::optional<PaperAnswer> QtPrintSystem::paper(const QString& queue) const
{
    const Connection server(bound_);
    if (!server.http())
        return std::nullopt;
    // The paper the queue itself is set to, which the PPD's own default may not be, with the
    // margins the queue reports for it (from the PPD's ImageableArea or the printer), all in
    // hundredths of a millimetre.
    ipp_t* response = ask(server, IPP_OP_GET_PRINTER_ATTRIBUTES, queue, "media-col-default");
    ipp_t* media = ippGetCollection(
        ippFindAttribute(response, "media-col-default", IPP_TAG_BEGIN_COLLECTION), 0);
    ipp_t* size =
        ippGetCollection(ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION), 0);
    const int width = integer(size, "x-dimension"), length = integer(size, "y-dimension");
    std::optional<PaperAnswer> answer;
    if (width > 0 && length > 0) {
        answer = PaperAnswer{QPageSize(QSizeF(width / 100.0, length / 100.0), QPageSize::Millimeter,
                                       QString(), QPageSize::FuzzyMatch),
                             std::nullopt};
        if (ippFindAttribute(media, "media-top-margin", IPP_TAG_INTEGER))
            answer->unprintableMm = QMarginsF(integer(media, "media-left-margin") / 100.0,
                                              integer(media, "media-top-margin") / 100.0,
                                              integer(media, "media-right-margin") / 100.0,
                                              integer(media, "media-bottom-margin") / 100.0);
    }
    ippDelete(response);
    return answer;
}

std::optional<QString> QtPrintSystem::submit(const QString& queue, const QString& pdfFile,
                                             const QString& title) const
{
    const Connection server(bound_);
    if (!server.http())
        return QStringLiteral("The print server could not be reached.");
    QFile pdf(pdfFile);
    if (!pdf.open(QIODevice::ReadOnly))
        return pdf.errorString();
    // Create-Job by hand: cupsCreateJob first looks the queue up, and when that look-up finds
    // no answer it asks again on connections without this one's bound. The job id tells
    // whether the server took the job; a queue that rejects jobs refuses Create-Job.
    const auto [uri, resource] = queueAddress(queue);
    ipp_t* request = ippNewRequest(IPP_OP_CREATE_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                 title.toUtf8().constData());
    ipp_t* response = cupsDoRequest(server.http(), request, resource.c_str());
    const int job = ippGetInteger(ippFindAttribute(response, "job-id", IPP_TAG_INTEGER), 0);
    ippDelete(response);
    bool sent = false;
    if (job > 0 && cupsStartDocument(server.http(), queue.toUtf8().constData(), job, "job.pdf",
                                     CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE) {
        const QByteArray bytes = pdf.readAll();
        sent = cupsWriteRequestData(server.http(), bytes.constData(), std::size_t(bytes.size())) ==
                   HTTP_STATUS_CONTINUE &&
               cupsFinishDocument(server.http(), queue.toUtf8().constData()) == IPP_STATUS_OK;
    }
    if (sent)
        return std::nullopt;
    if (server.timedOut())
        return noAnswerReason();
    // The error of this thread's last call, which is this one; "successful-ok" is no reason.
    const QString reason = QString::fromUtf8(cupsLastErrorString());
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE || reason.isEmpty())
        return QStringLiteral("The print service gave no reason.");
    return reason;
}

} // namespace app
