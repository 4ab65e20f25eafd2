#include "GstSupport.h"

#include "TalmaroIds.h"
#include "TalmaroLog.h"

#include <algorithm>
#include <mutex>

namespace Talmaro {

bool EnsureGStreamer()
{
    static std::once_flag once;
    static bool initialised = false;
    std::call_once(once, [] {
        GError *error = nullptr;
        initialised = gst_init_check(nullptr, nullptr, &error);
        if (!initialised) {
            Log(kLogError,
                QStringLiteral("CTalmaroApp::InitInstance() failed to initialise GStreamer: %1")
                    .arg(QString::fromUtf8(error ? error->message : "unknown error")));
        }
        if (error)
            g_error_free(error);
    });
    return initialised;
}

GstElement *MakeElement(const char *factory, const char *name)
{
    return gst_element_factory_make(factory, name);
}

namespace {

void Drop(GstElement *const *from, GstElement *const *to)
{
    for (; from != to; ++from) {
        if (*from)
            gst_object_unref(gst_object_ref_sink(*from));
    }
}

} // namespace

bool AddAll(GstElement *bin, std::initializer_list<GstElement *> elements)
{
    const bool complete
        = bin && std::none_of(elements.begin(), elements.end(), [](GstElement *e) { return !e; });
    if (!complete) {
        Drop(elements.begin(), elements.end());
        return false;
    }
    for (auto element = elements.begin(); element != elements.end(); ++element) {
        // A refused element is released by the bin itself.
        if (!gst_bin_add(GST_BIN(bin), *element)) {
            Drop(element + 1, elements.end());
            return false;
        }
    }
    return true;
}

GstRef<GstElement> ChildByName(GstElement *bin, const char *name)
{
    if (!bin || !GST_IS_BIN(bin))
        return nullptr;
    return GstRef<GstElement>(gst_bin_get_by_name(GST_BIN(bin), name));
}

void LoadPlugins()
{
    if (!EnsureGStreamer())
        return;
    for (const char *name : { "asfmux", "avenc_wmav2", "avenc_wmv2", "audioconvert", "audioresample",
             "videoconvert", "videoscale", "videorate", "filesink", "appsink", "playbin", "decodebin",
             "asfdemux", "avdec_wmav2", "avdec_wmv2" }) {
        if (GstPluginFeature *feature = gst_registry_lookup_feature(gst_registry_get(), name)) {
            if (GstPluginFeature *loaded = gst_plugin_feature_load(feature))
                gst_object_unref(loaded);
            gst_object_unref(feature);
        }
    }
}

bool TestDevicesEnabled()
{
    return qEnvironmentVariableIsSet(kTestDevicesVariable);
}

} // namespace Talmaro
