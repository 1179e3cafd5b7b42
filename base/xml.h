#pragma once
// The program's XML-like text files: a fixed three-level shape (roots, sections,
// one-line keys holding a text value), read line by line under fixed limits.
// Not a general XML parser: the shape, the line rules and the limits are the format.
#include <cstddef>

constexpr int xml_line_max = 1557;  // longer lines are split, the rest becomes the next line
constexpr int xml_name_max = 127;   // root, section and key names
constexpr int xml_raw_max = 1024;   // escaped text between a key's tags
constexpr int xml_value_max = 512;  // stored value after unescaping (cut)

// Nodes: taken from the counted allocator, in file order, owned by app_xmlobj.
struct app_xmlkey {
  app_xmlkey* next;
  char* value;  // separate zero-terminated block, never null
  char name[xml_name_max + 1];
};

struct app_xmlsection {
  app_xmlsection* next;
  app_xmlkey* keys;
  app_xmlkey* last_key;
  char name[xml_name_max + 1];
};

struct app_xmlroot {
  app_xmlroot* next;
  app_xmlsection* sections;
  app_xmlsection* last_section;
  char name[xml_name_max + 1];
};

// A whole text file as one zero-terminated string, read back line by line.
class app_xmlbuf {
 public:
  app_xmlbuf();
  virtual ~app_xmlbuf();
  app_xmlbuf(const app_xmlbuf&) = delete;
  app_xmlbuf& operator=(const app_xmlbuf&) = delete;

  int append(const char* text, std::size_t size);
  int append(const char* text);
  int read_file(const char* path);     // replaces the text by the whole file
  int read_line(char* out, int size);  // next line, at most size - 1 characters; 0 at the end
  void clear();                        // empty text, read position at the start
  void cut(std::size_t size);          // keeps the first size characters
  void rewind() { pos_ = 0; }

  const char* text() const { return text_ ? text_ : ""; }
  char* data() { return text_; }
  std::size_t length() const { return length_; }
  std::size_t capacity() const { return capacity_; }
  int utf8() const { return utf8_; }
  void set_utf8(int on) { utf8_ = on; }

 private:
  int reserve(std::size_t size);
  void find_ends();

  char* text_ = nullptr;
  int utf8_ = 0;
  std::size_t quantum_ = 1024;
  std::size_t capacity_ = 0;
  std::size_t length_ = 0;
  std::size_t pos_ = 0;
  // Where the next CR LF, CR and LF lie at or after the read position; kept
  // between lines so that an LF-only file is not searched for CR LF once per line.
  bool ends_known_ = false;
  std::size_t next_crlf_ = 0, next_cr_ = 0, next_lf_ = 0;
};

class app_xmlobj {
 public:
  app_xmlobj();
  virtual ~app_xmlobj();
  app_xmlobj(const app_xmlobj&) = delete;
  app_xmlobj& operator=(const app_xmlobj&) = delete;

  void reset();
  // convert_utf8: the main program's reading (UTF-8 files become ANSI text);
  // the installer library passes 0 and keeps the bytes as they are.
  int load(const char* path, int convert_utf8);
  int load_text(const char* text, std::size_t size, int convert_utf8);
  // Lookup in the first root named "zun".
  int get_text(const char* section, const char* key, char* out, int size) const;
  int set_text(const char* root, const char* section, const char* key, const char* value);
  int to_text(app_xmlbuf& out, const char* encoding) const;
  int save(const char* path, const char* encoding) const;

  const app_xmlroot* roots() const { return roots_; }
  int root_count() const { return root_count_; }
  int section_count() const { return section_count_; }
  int key_count() const { return key_count_; }

 private:
  int read(app_xmlbuf& buf, int convert_utf8);
  int parse(app_xmlbuf& buf);
  int next_line(app_xmlbuf& buf);
  const char* tag_name(const char* line);
  int opening_tag(const char* line, char* close);
  int key_line(const char* line);
  app_xmlroot* add_root(const char* name);
  app_xmlsection* add_section(app_xmlroot* root, const char* name);
  app_xmlkey* add_key(app_xmlsection* section, const char* name, const char* value);
  void free_tree();

  app_xmlroot* roots_ = nullptr;
  app_xmlroot* last_root_ = nullptr;
  int root_count_ = 0, section_count_ = 0, key_count_ = 0;

  // Working buffers of the reader, sized by the format's limits.
  char line_[xml_line_max + 1];
  char name_[xml_name_max + 1];
  char root_close_[xml_name_max + 4];  // "</name>"
  char section_close_[xml_name_max + 4];
  char key_close_[xml_name_max + 4];
  char raw_[xml_raw_max + 1];
  char value_[xml_value_max + 1];
  int pushed_back_ = 0;  // line_ holds a line not consumed yet
};

// The lookup for callers that may hold no document at all (null gives 0 and "").
int app_xml_get_text(const app_xmlobj* doc, const char* section, const char* key, char* out,
                     int size);
