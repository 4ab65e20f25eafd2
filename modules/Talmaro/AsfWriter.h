#pragma once

#include "CompressionProfiles.h"

#include <gst/gst.h>

#include <QtCore/QString>

// The Windows Media ASF writer of the recorders: one bin that takes raw sound
// and/or raw pictures on its "audio" and "video" pads, encodes them with the
// Windows Media Audio and Video encoders and writes the ASF file.
namespace Talmaro::AsfWriter {

// A new writer bin (floating) with the pads asked for, or null when an element
// is missing.
GstElement *Create(const char *name, bool withAudio, bool withVideo);

// Gives the encoders the profile's formats and bitrates; false when the
// writer is not one of ours.
bool Configure(GstElement *writer, const AudioProfile *audio, const VideoProfile *video);

// The writer's file sink (a reference), or null.
GstElement *FileSink(GstElement *writer);

// The output file; an existing file is overwritten. False for an empty name.
bool SetFileName(GstElement *fileSink, const QString &fileName);

} // namespace Talmaro::AsfWriter
