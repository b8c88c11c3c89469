// Compiles the two string forms the system uses once, so every other library links them instead of
// instantiating its own copy.
#include "data/datastring.h"

namespace tovo::data {

template class datastring<32, char>;
template class datastring<8, char>;

}  // namespace tovo::data
