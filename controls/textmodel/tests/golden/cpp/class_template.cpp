template <typename T> class Box {
public:
  virtual ~Box() = default;
};
