#pragma once

#include <gst/gst.h>

#include <QtCore/QString>

#include <initializer_list>
#include <memory>

// Small helpers over the GStreamer C API.
namespace Talmaro {

// Initialises GStreamer once per process; false (logged) when it cannot be.
bool EnsureGStreamer();

struct GstObjectUnref
{
    void operator()(gpointer object) const
    {
        if (object)
            gst_object_unref(object);
    }
};
// Holds one reference to a GstObject (element, bus, pad, device...).
template<class T> using GstRef = std::unique_ptr<T, GstObjectUnref>;

// A new element of the factory, or null when the plug-in is missing.
GstElement *MakeElement(const char *factory, const char *name = nullptr);

// Adds new (floating) elements to 'bin', all or none: when one is null or
// refused, the ones not yet in the bin are dropped and the result is false.
bool AddAll(GstElement *bin, std::initializer_list<GstElement *> elements);
inline bool AddTo(GstElement *bin, GstElement *element)
{
    return AddAll(bin, { element });
}

// The element named 'name' inside 'bin', with a reference, or null.
GstRef<GstElement> ChildByName(GstElement *bin, const char *name);

// Loads the plug-ins the graphs use, so that the first recording does not
// wait for them; safe on any thread.
void LoadPlugins();

// Whether the test-only device switch is on (see TalmaroIds.h).
bool TestDevicesEnabled();

// Nanoseconds and the 100-nanosecond units of media times.
inline qint64 ToMediaTime(gint64 nanoseconds)
{
    return nanoseconds / 100;
}
inline gint64 ToNanoseconds(qint64 mediaTime)
{
    return mediaTime * 100;
}

} // namespace Talmaro
