# What the packages hold, one line per shipped file; a line ending in / stands
# for a bundle folder with one or more files. Each format the project ships
# adds its lines here when its install rule (packaging/CMakeLists.txt) lands.
deb_files=(
  usr/lib/lxvst/TK42R.so
  usr/bin/tk42host
  usr/share/doc/tk42r/copyright
  usr/share/doc/tk42r/changelog.gz
)
# Inside the zip's top folder TK42R-VERSION-win64/.
zip_files=(
  VST2/TK42R_x64.dll
  tk42host.exe
  README.md
  LICENSE
)
