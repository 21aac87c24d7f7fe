bool ok = static_cast<bool>(1) && true;
namespace n { using std::string; }
