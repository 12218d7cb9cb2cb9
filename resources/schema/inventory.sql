-- Schema of Inventory.mdb and of the two template databases (SQLite under the legacy file names).
-- Declared type names carry the field kinds the screens and the filter window rely on:
--   TEXT (short text), LONGTEXT (memo), LONG (32-bit whole number), DOUBLE, CURRENCY (money, 4 decimals),
--   DATETIME (ISO text yyyy-mm-dd), YESNO (0/1), OLEOBJECT (binary), INTEGER PRIMARY KEY (counter).
-- Text compares and sorts without regard to case, so every text column is COLLATE NOCASE.
-- Parts.[Record Number] is AUTOINCREMENT: a deleted part's number is never handed out again,
-- so no new part can inherit the usage rows or pictures that still carry it.
CREATE TABLE Parts (
  [Record Number] INTEGER PRIMARY KEY AUTOINCREMENT,
  [Part Number 1] TEXT COLLATE NOCASE,
  [Part Number 2] TEXT COLLATE NOCASE,
  [Part Number 3] TEXT COLLATE NOCASE,
  [Description] TEXT COLLATE NOCASE,
  [Area of Machine] TEXT COLLATE NOCASE,
  [In Stock] LONG DEFAULT 0,
  [Minimum Stock] LONG DEFAULT 0,
  [Location] TEXT COLLATE NOCASE,
  [Part Memo] LONGTEXT COLLATE NOCASE,
  [Date Ordered] DATETIME,
  [Price 1] CURRENCY DEFAULT 0,
  [Special Price 1] CURRENCY DEFAULT 0,
  [Package 1] LONG DEFAULT 0,
  [Minimum Buy 1] LONG DEFAULT 0,
  [Book 1] TEXT COLLATE NOCASE,
  [Page 1] TEXT COLLATE NOCASE,
  [Quantity Ordered 1] LONG DEFAULT 0,
  [Back Ordered 1] LONG DEFAULT 0,
  [Received 1] LONG DEFAULT 0,
  [Default 1] YESNO DEFAULT 0,
  [Spare 1] TEXT COLLATE NOCASE,
  [Price 2] CURRENCY DEFAULT 0,
  [Special Price 2] CURRENCY DEFAULT 0,
  [Package 2] LONG DEFAULT 0,
  [Minimum Buy 2] LONG DEFAULT 0,
  [Book 2] TEXT COLLATE NOCASE,
  [Page 2] TEXT COLLATE NOCASE,
  [Quantity Ordered 2] LONG DEFAULT 0,
  [Back Ordered 2] LONG DEFAULT 0,
  [Received 2] LONG DEFAULT 0,
  [Default 2] YESNO DEFAULT 0,
  [Spare 2] TEXT COLLATE NOCASE,
  [Price 3] CURRENCY DEFAULT 0,
  [Special Price 3] CURRENCY DEFAULT 0,
  [Package 3] LONG DEFAULT 0,
  [Minimum Buy 3] LONG DEFAULT 0,
  [Book 3] TEXT COLLATE NOCASE,
  [Page 3] TEXT COLLATE NOCASE,
  [Quantity Ordered 3] LONG DEFAULT 0,
  [Back Ordered 3] LONG DEFAULT 0,
  [Received 3] LONG DEFAULT 0,
  [Default 3] YESNO DEFAULT 0,
  [Spare 3] TEXT COLLATE NOCASE
);
CREATE INDEX inv1 ON Parts([Part Number 1] COLLATE NOCASE);
CREATE INDEX inv2 ON Parts([Part Number 2] COLLATE NOCASE);
CREATE INDEX inv3 ON Parts([Part Number 3] COLLATE NOCASE);
CREATE INDEX location ON Parts([Location] COLLATE NOCASE);

CREATE TABLE PartsUsage (
  [Record Number] LONG,
  [Used] DOUBLE DEFAULT 0,
  [Lane Number] DOUBLE DEFAULT 0,
  [Date Used] DATETIME
);
CREATE INDEX PartsUsageRecord ON PartsUsage([Record Number]);
CREATE INDEX PartsUsageLane ON PartsUsage([Lane Number]);

CREATE TABLE Pictures (
  [Record Number] INTEGER CONSTRAINT MYFILESCONTRAINT PRIMARY KEY,
  Image1 OLEOBJECT,
  Image2 OLEOBJECT,
  Image3 OLEOBJECT
);

CREATE TABLE Information (
  [Center Name] TEXT COLLATE NOCASE,
  [Address] TEXT COLLATE NOCASE,
  [City] TEXT COLLATE NOCASE,
  [State] TEXT COLLATE NOCASE,
  [Zip] TEXT COLLATE NOCASE,
  [Phone] TEXT COLLATE NOCASE,
  [Fax] TEXT COLLATE NOCASE,
  [Your Name] TEXT COLLATE NOCASE,
  [Shipping Name] TEXT COLLATE NOCASE,
  [shipping address] TEXT COLLATE NOCASE,
  [Shipping City] TEXT COLLATE NOCASE,
  [shipping state] TEXT COLLATE NOCASE,
  [shipping zip] TEXT COLLATE NOCASE,
  [shipping phone] TEXT COLLATE NOCASE,
  [Shipping Fax] TEXT COLLATE NOCASE,
  [Vendor 1] TEXT COLLATE NOCASE,
  [Vendor 2] TEXT COLLATE NOCASE,
  [Vendor 3] TEXT COLLATE NOCASE,
  [Name 1] TEXT COLLATE NOCASE,
  [Address 1] TEXT COLLATE NOCASE,
  [City 1] TEXT COLLATE NOCASE,
  [State 1] TEXT COLLATE NOCASE,
  [Zip 1] TEXT COLLATE NOCASE,
  [Phone 1] TEXT COLLATE NOCASE,
  [Fax 1] TEXT COLLATE NOCASE,
  [Contact 1] TEXT COLLATE NOCASE,
  [PO 1] TEXT COLLATE NOCASE,
  [Tax 1] TEXT COLLATE NOCASE,
  [Discount 1] TEXT COLLATE NOCASE,
  [Notes 1] LONGTEXT COLLATE NOCASE,
  [Name 2] TEXT COLLATE NOCASE,
  [Address 2] TEXT COLLATE NOCASE,
  [City 2] TEXT COLLATE NOCASE,
  [State 2] TEXT COLLATE NOCASE,
  [Zip 2] TEXT COLLATE NOCASE,
  [Phone 2] TEXT COLLATE NOCASE,
  [Fax 2] TEXT COLLATE NOCASE,
  [Contact 2] TEXT COLLATE NOCASE,
  [PO 2] TEXT COLLATE NOCASE,
  [Tax 2] TEXT COLLATE NOCASE,
  [Discount 2] TEXT COLLATE NOCASE,
  [Notes 2] LONGTEXT COLLATE NOCASE,
  [Name 3] TEXT COLLATE NOCASE,
  [Address 3] TEXT COLLATE NOCASE,
  [City 3] TEXT COLLATE NOCASE,
  [State 3] TEXT COLLATE NOCASE,
  [Zip 3] TEXT COLLATE NOCASE,
  [Phone 3] TEXT COLLATE NOCASE,
  [Fax 3] TEXT COLLATE NOCASE,
  [Contact 3] TEXT COLLATE NOCASE,
  [PO 3] TEXT COLLATE NOCASE,
  [Tax 3] TEXT COLLATE NOCASE,
  [Discount 3] TEXT COLLATE NOCASE,
  [Notes 3] LONGTEXT COLLATE NOCASE,
  [Via 1] TEXT COLLATE NOCASE,
  [Via 2] TEXT COLLATE NOCASE,
  [Via 3] TEXT COLLATE NOCASE
);
