#include "docconverter/office/OfficeBridge.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>
#include <rtl/bootstrap.hxx>

#include <initializer_list>
#include <mutex>
#include <optional>

namespace folyant::docconverter {

namespace {
using namespace ::com::sun::star;
using rtl::OString;
using rtl::OUString;
using uno::Reference;
using Properties = uno::Sequence<beans::PropertyValue>;

OUString fromUtf8(const std::string& text)
{
    return OStringToOUString(
        OString(text.c_str(), static_cast<sal_Int32>(text.size())), RTL_TEXTENCODING_UTF8);
}

std::string toUtf8(const OUString& text)
{
    const OString bytes = OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

beans::PropertyValue property(const char* name, const uno::Any& value)
{
    beans::PropertyValue result;
    result.Name = OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

Properties properties(std::initializer_list<beans::PropertyValue> values)
{
    Properties result(static_cast<sal_Int32>(values.size()));
    sal_Int32 at = 0;
    for (const auto& value : values)
        result.getArray()[at++] = value;
    return result;
}

// The client's own UNO runtime, made once a process from the office's type
// and service libraries: without the office's types (offapi) the bridge
// crashes on the first office type it meets.
Reference<uno::XComponentContext> localContext()
{
    static std::once_flag once;
    static Reference<uno::XComponentContext> context;
    std::call_once(once, [] {
        const OUString program = "file://" FOLYANT_OFFICE_PROGRAM_DIR;
        rtl::Bootstrap::set("URE_INTERNAL_LIB_DIR", program);
        rtl::Bootstrap::set("URE_MORE_TYPES", program + "/types/offapi.rdb");
        rtl::Bootstrap::set("UNO_TYPES", program + "/types.rdb " + program + "/types/offapi.rdb");
        rtl::Bootstrap::set("UNO_SERVICES", program + "/services.rdb");
        context = cppu::defaultBootstrap_InitialComponentContext();
    });
    return context;
}

std::optional<OUString> fileUrl(const std::string& path)
{
    OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(fromUtf8(path), url) != osl::FileBase::E_None)
        return std::nullopt;
    return url;
}

// A client that was killed leaves its document open in the office: with one
// document at a time per office, whatever is open when our turn comes is such
// a leftover.
void closeLeftovers(const Reference<frame::XDesktop2>& desktop)
{
    const Reference<container::XEnumerationAccess> components = desktop->getComponents();
    if (!components.is())
        return;
    const Reference<container::XEnumeration> each = components->createEnumeration();
    while (each.is() && each->hasMoreElements()) {
        try {
            const Reference<util::XCloseable> closeable(each->nextElement(), uno::UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
        } catch (const lang::DisposedException&) {
            throw;
        } catch (const uno::Exception&) {
            // One that will not close is no reason to refuse the next document.
        }
    }
}

void closeDocument(const Reference<lang::XComponent>& document)
{
    try {
        const Reference<util::XCloseable> closeable(document, uno::UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        else
            document->dispose();
    } catch (const lang::DisposedException&) {
        throw;
    } catch (const uno::Exception&) {
        // Left open: the next client closes it.
    }
}

BridgeResult printLoaded(const Reference<lang::XComponent>& document, const BridgeRequest& request)
{
    const Reference<view::XPrintable> printable(document, uno::UNO_QUERY);
    if (!printable.is())
        return {BridgeOutcome::NotLoaded, "the document cannot be printed"};
    const OUString printer = fromUtf8(request.printer);
    printable->setPrinter(properties({property("Name", uno::Any(printer))}));
    // An unknown name is ignored without a word: the office would print to
    // its default printer instead.
    OUString named;
    for (const auto& value : printable->getPrinter())
        if (value.Name == "Name")
            value.Value >>= named;
    if (named != printer)
        return {BridgeOutcome::UnknownPrinter, "the office does not know the printer " + request.printer};
    Properties options = properties({property("Wait", uno::Any(true))});
    if (!request.file.empty()) {
        const auto url = fileUrl(request.file);
        if (!url)
            return {BridgeOutcome::Failed, "no file URL for " + request.file};
        options = properties({property("Wait", uno::Any(true)), property("FileName", uno::Any(*url))});
    }
    printable->print(options);
    return {BridgeOutcome::Printed, {}};
}
} // namespace

BridgeResult printOverBridge(const BridgeRequest& request)
{
    try {
        const auto url = fileUrl(request.document);
        if (!url)
            return {BridgeOutcome::NotLoaded, "no file URL for " + request.document};
        Reference<uno::XComponentContext> remote;
        try {
            const Reference<bridge::XUnoUrlResolver> resolver
                = bridge::UnoUrlResolver::create(localContext());
            remote.set(resolver->resolve("uno:pipe,name=" + fromUtf8(request.pipeName)
                           + ";urp;StarOffice.ComponentContext"),
                uno::UNO_QUERY_THROW);
        } catch (const connection::NoConnectException& error) {
            return {BridgeOutcome::NoConnection, toUtf8(error.Message)};
        }
        const Reference<frame::XDesktop2> desktop = frame::Desktop::create(remote);
        closeLeftovers(desktop);
        Reference<lang::XComponent> document;
        std::string refusal;
        const std::vector<std::string> anyType{std::string()};
        for (const std::string& filter : request.filters.empty() ? anyType : request.filters) {
            Properties load
                = properties({property("Hidden", uno::Any(true)), property("ReadOnly", uno::Any(true))});
            if (!filter.empty())
                load = properties({property("Hidden", uno::Any(true)), property("ReadOnly", uno::Any(true)),
                    property("FilterName", uno::Any(fromUtf8(filter)))});
            try {
                document = desktop->loadComponentFromURL(*url, "_blank", 0, load);
            } catch (const uno::RuntimeException&) {
                throw;
            } catch (const uno::Exception& error) {
                refusal = toUtf8(error.Message);
            }
            if (document.is())
                break;
        }
        if (!document.is())
            return {BridgeOutcome::NotLoaded, refusal};
        BridgeResult result{BridgeOutcome::Failed, {}};
        try {
            result = printLoaded(document, request);
        } catch (const lang::DisposedException&) {
            throw;
        } catch (const uno::Exception& error) {
            result = {BridgeOutcome::Failed, toUtf8(error.Message)};
        }
        closeDocument(document);
        return result;
    } catch (const lang::DisposedException& error) {
        return {BridgeOutcome::Disposed, toUtf8(error.Message)};
    } catch (const uno::RuntimeException& error) {
        // A broken bridge says so as a runtime error too.
        return {BridgeOutcome::Disposed, toUtf8(error.Message)};
    } catch (const uno::Exception& error) {
        return {BridgeOutcome::Failed, toUtf8(error.Message)};
    }
}

} // namespace folyant::docconverter
