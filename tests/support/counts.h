#pragma once

#include "statengine.h"

#include <QMetaType>

// Lets data-driven tests carry a table in a column.
Q_DECLARE_METATYPE(FourfoldCounts)
