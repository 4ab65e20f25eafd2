#include "PatientTestUtil.h"
