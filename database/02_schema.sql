-- Sequences, tables, keys and indexes of the configuration database.
--
-- Names are unquoted, so mixed-case names such as vexa_subsystemList,
-- devicetypeID or VEXA_LG_CPNTS_DEVICEID_SEQ fold to lower case and work as
-- the statements write them.
--
-- Column kinds: texts are varchar (names and other short values 100
-- characters, locations 200, comments and descriptions 1000), numbers are
-- integer (the statements bind and fetch them as 32-bit integers), dates are
-- timestamp(0). created and last_update default to the database time of the
-- inserting statement.

------------------------------------------------------------------------------
-- Sequences. The statements draw every identifier with nextval('name').
--
-- vexa_lg_deviceseq feeds the deviceid of functional devices and also the
-- portid of the ports of a test board, while every other port takes its
-- portid from vexa_portseq. So that the two never hand out the same portid,
-- vexa_lg_deviceseq gives odd numbers (1, 3, 5, ...) and vexa_portseq even
-- ones (2, 4, 6, ...). The primary key on portid guards the rule.
------------------------------------------------------------------------------

CREATE SEQUENCE vexa_lg_deviceseq AS integer START WITH 1 INCREMENT BY 2;
CREATE SEQUENCE vexa_portseq AS integer START WITH 2 INCREMENT BY 2;
CREATE SEQUENCE vexa_devtype_seq AS integer START WITH 1;
CREATE SEQUENCE vexa_history_deviceseq AS integer START WITH 1;
CREATE SEQUENCE vexa_macroconnseq AS integer START WITH 1;
CREATE SEQUENCE vexa_microconnseq AS integer START WITH 1;
CREATE SEQUENCE vexa_lktypeseq AS integer START WITH 1;
CREATE SEQUENCE VEXA_LG_CPNTS_DEVICEID_SEQ AS integer START WITH 1;
CREATE SEQUENCE VEXA_HW_CPNTS_SNBID_SEQ AS integer START WITH 1;
CREATE SEQUENCE VEXA_CPNT_HISTORY_COMPTID_SEQ AS integer START WITH 1;

------------------------------------------------------------------------------
-- Subsystems and primes.
------------------------------------------------------------------------------

-- One row per subsystem: its name and its prime. A set of subsystems is
-- stored as the product of their primes.
CREATE TABLE vexa_subsystemList (
  system_name varchar(100) PRIMARY KEY,
  systemID    integer NOT NULL UNIQUE
);

-- The primes in increasing order, position 1 for 2. Read only.
CREATE TABLE vexa_prime_number (
  prime_nb          integer PRIMARY KEY,
  prime_nb_position integer NOT NULL UNIQUE
);

------------------------------------------------------------------------------
-- Device types and functional devices.
------------------------------------------------------------------------------

CREATE TABLE vexa_lg_device_types (
  devicetypeID  integer PRIMARY KEY,
  devicetype    varchar(100) NOT NULL UNIQUE,
  nbrofinput    integer,
  nbrofoutput   integer,
  description   varchar(1000),
  rgbcolor      varchar(100),
  system_name   integer,
  author        varchar(100),
  user_update   varchar(100),
  terminal_name varchar(100),
  last_update   timestamp(0) DEFAULT vexa_sysdate()
);

-- Hardware devices, by serial number.
CREATE TABLE vexa_hw_devices (
  serialnb      varchar(100) PRIMARY KEY,
  hwtype        varchar(100),
  hwname        varchar(100),
  responsible   varchar(100),
  user_comments varchar(1000),
  location      varchar(200),
  device_status integer
);

CREATE INDEX vexa_hw_devices_status_idx ON vexa_hw_devices (device_status);

-- Functional devices.
-- devicetypeID has no foreign key: an update that names a device type that
-- does not exist stores -1, and joins with the device types then leave the
-- device out.
-- serialnb (the mounted hardware) is not unique: moving hardware from one
-- device to another sets it on the new device before clearing it on the
-- old one, inside one block.
-- A new device is not active (active 0) and usable (nodeused 1).
-- A name has at most 100 bytes, so that a buffer of 101 bytes holds any
-- name that a lookup copies out (varchar counts characters).
CREATE TABLE vexa_lg_devices (
  devicename       varchar(100) NOT NULL UNIQUE CHECK (octet_length(devicename) <= 100),
  devicetypeID     integer NOT NULL,
  deviceid         integer PRIMARY KEY,
  node             integer,
  promiscuous_mode integer,
  active           integer NOT NULL DEFAULT 0,
  nodeused         integer NOT NULL DEFAULT 1,
  system_name      integer,
  serialnb         varchar(100) REFERENCES vexa_hw_devices (serialnb),
  location         varchar(200),
  author           varchar(100),
  user_update      varchar(100),
  terminal_name    varchar(100),
  last_update      timestamp(0) DEFAULT vexa_sysdate(),
  created          timestamp(0) NOT NULL DEFAULT vexa_sysdate()
);

CREATE INDEX vexa_lg_devices_type_idx ON vexa_lg_devices (devicetypeID);
CREATE INDEX vexa_lg_devices_serialnb_idx ON vexa_lg_devices (serialnb);

-- Status history of devices and of hardware devices. deviceid is null in
-- rows of spare hardware, serialnb in rows of a device left empty.
CREATE TABLE vexa_device_history (
  historydeviceid integer PRIMARY KEY,
  serialnb        varchar(100) REFERENCES vexa_hw_devices (serialnb),
  deviceid        integer REFERENCES vexa_lg_devices (deviceid),
  device_status   varchar(100),
  user_comment    varchar(1000),
  location        varchar(200),
  status_change   timestamp(0),
  system_name     integer,
  created         timestamp(0) DEFAULT vexa_sysdate(),
  author          varchar(100),
  terminal_name   varchar(100)
);

CREATE INDEX vexa_device_history_serialnb_idx ON vexa_device_history (serialnb);
CREATE INDEX vexa_device_history_deviceid_idx ON vexa_device_history (deviceid);

------------------------------------------------------------------------------
-- Board components.
------------------------------------------------------------------------------

-- Hardware components. serialnb may be null (several rows may lack one);
-- location holds the board's serial number while the component is mounted.
CREATE TABLE vexa_hw_cpnts (
  snbid        integer PRIMARY KEY,
  serialnb     varchar(100) UNIQUE,
  hwtype       varchar(100),
  hwname       varchar(100),
  responsible  varchar(100),
  user_comment varchar(1000),
  cpnt_status  integer,
  replacable   integer,
  location     varchar(200)
);

CREATE INDEX vexa_hw_cpnts_location_idx ON vexa_hw_cpnts (location);
CREATE INDEX vexa_hw_cpnts_hwname_idx ON vexa_hw_cpnts (hwname);

-- Functional components, each on the board motherboardid. A name has at
-- most 100 bytes, like a device's.
CREATE TABLE vexa_lg_cpnts (
  cpntname      varchar(100) NOT NULL UNIQUE CHECK (octet_length(cpntname) <= 100),
  cpnttype      varchar(100),
  cpntid        integer PRIMARY KEY,
  snbid         integer REFERENCES vexa_hw_cpnts (snbid),
  motherboardid integer REFERENCES vexa_lg_devices (deviceid),
  author        varchar(100),
  created       timestamp(0) DEFAULT vexa_sysdate(),
  terminal_name varchar(100),
  user_update   varchar(100),
  last_update   timestamp(0) DEFAULT vexa_sysdate()
);

CREATE INDEX vexa_lg_cpnts_motherboardid_idx ON vexa_lg_cpnts (motherboardid);
CREATE INDEX vexa_lg_cpnts_snbid_idx ON vexa_lg_cpnts (snbid);
CREATE INDEX vexa_lg_cpnts_cpnttype_idx ON vexa_lg_cpnts (cpnttype);

-- Status history of board components.
CREATE TABLE vexa_cpnt_history (
  historycpntid integer PRIMARY KEY,
  snbid         integer REFERENCES vexa_hw_cpnts (snbid),
  cpntid        integer REFERENCES vexa_lg_cpnts (cpntid),
  cpnt_status   varchar(100),
  user_comment  varchar(1000),
  location      varchar(200),
  status_change timestamp(0),
  created       timestamp(0) DEFAULT vexa_sysdate(),
  author        varchar(100),
  terminal_name varchar(100)
);

CREATE INDEX vexa_cpnt_history_snbid_idx ON vexa_cpnt_history (snbid);
CREATE INDEX vexa_cpnt_history_cpntid_idx ON vexa_cpnt_history (cpntid);

------------------------------------------------------------------------------
-- IP addresses and ports.
------------------------------------------------------------------------------

CREATE TABLE vexa_ipinfo (
  ipaddress     varchar(100) PRIMARY KEY,
  subnet_info   varchar(100),
  ipname        varchar(100),
  author        varchar(100),
  created       timestamp(0) DEFAULT vexa_sysdate(),
  terminal_name varchar(100),
  last_update   timestamp(0) DEFAULT vexa_sysdate()
);

-- Ports of functional devices. A port is identified by its device, number,
-- way and type, a null type counting as 'none'. A changed address follows
-- its vexa_ipinfo row.
CREATE TABLE vexa_port_properties (
  portid                integer PRIMARY KEY,
  deviceid              integer NOT NULL REFERENCES vexa_lg_devices (deviceid),
  port_nbr              varchar(100),
  port_way              integer,
  port_type             varchar(100),
  administrative_status integer,
  speed                 integer,
  phy                   varchar(100),
  pxi_booting           integer,
  ipaddress             varchar(100) REFERENCES vexa_ipinfo (ipaddress)
                          ON UPDATE CASCADE,
  author                varchar(100),
  user_update           varchar(100),
  terminal_name         varchar(100),
  last_update           timestamp(0) DEFAULT vexa_sysdate()
);

CREATE UNIQUE INDEX vexa_port_properties_port_key ON vexa_port_properties
  (deviceid, port_nbr, port_way, (coalesce(port_type, 'none')));
CREATE INDEX vexa_port_properties_ipaddress_idx ON vexa_port_properties (ipaddress);

-- Ports of hardware devices, matched to a port by the device's serialnb and
-- the port's number, way and type. serialnb is null for the port of a
-- device that had no hardware when the port was inserted, and is not a
-- foreign key: spare ports may be recorded for any serial number.
CREATE TABLE vexa_hwport_properties (
  serialnb      varchar(100),
  port_nbr      varchar(100),
  port_type     varchar(100),
  port_way      integer,
  bia           varchar(100),
  macaddress    varchar(100),
  author        varchar(100),
  created       timestamp(0) DEFAULT vexa_sysdate(),
  terminal_name varchar(100)
);

CREATE INDEX vexa_hwport_properties_port_idx ON vexa_hwport_properties
  (serialnb, port_nbr, port_way);

------------------------------------------------------------------------------
-- Link types and links.
------------------------------------------------------------------------------

CREATE TABLE vexa_link_types (
  linktypeID    integer PRIMARY KEY,
  link_name     varchar(100) NOT NULL UNIQUE,
  -- A product of distinct primes: the set of simple types the type stands
  -- for, one prime each.
  link_nbr      integer CONSTRAINT vexa_link_types_nbr_squarefree
                  CHECK (vexa_is_squarefree(link_nbr)),
  author        varchar(100),
  user_update   varchar(100),
  terminal_name varchar(100),
  last_update   timestamp(0) DEFAULT vexa_sysdate()
);

-- A number stands for one set of simple types, so it has one holder: two
-- types of one number would be one type under two names. The index keeps a
-- number from being stored twice whatever the isolation of the writers
-- (NULL, a type without a number, is no number). The trigger also refuses
-- a simple type's prime that divides another type's number: the prime
-- would then stand for two types.
CREATE UNIQUE INDEX vexa_link_types_link_nbr_idx ON vexa_link_types (link_nbr);
CREATE TRIGGER vexa_link_types_prime_is_free
  BEFORE INSERT OR UPDATE OF link_nbr ON vexa_link_types
  FOR EACH ROW EXECUTE FUNCTION link_type_prime_is_free();

-- Links between ports of two devices. link_type has no foreign key: an
-- update that names a link type that does not exist stores -1, and such a
-- link is then never found by the joins with the link types.
CREATE TABLE vexa_macroscopic_connectivity (
  linkid                  integer PRIMARY KEY,
  portidfrom              integer NOT NULL REFERENCES vexa_port_properties (portid),
  portidto                integer NOT NULL REFERENCES vexa_port_properties (portid),
  link_type               integer,
  bidirectional_link_used integer,
  link_weight             integer,
  lkused                  integer,
  link_info               varchar(1000),
  system_name             integer,
  author                  varchar(100),
  user_update             varchar(100),
  terminal_name           varchar(100),
  last_update             timestamp(0) DEFAULT vexa_sysdate()
);

CREATE INDEX vexa_macroscopic_connectivity_from_idx ON vexa_macroscopic_connectivity (portidfrom);
CREATE INDEX vexa_macroscopic_connectivity_to_idx ON vexa_macroscopic_connectivity (portidto);
CREATE INDEX vexa_macroscopic_connectivity_type_idx ON vexa_macroscopic_connectivity (link_type);

-- Links inside one board. A component id of -1 (the "motherboard" row) is
-- the board itself; its port column then holds the portid of the board's
-- port, while a component end holds the component's own port number. So
-- the port columns have no foreign key.
CREATE TABLE vexa_microscopic_connectivity (
  linkid                  integer PRIMARY KEY,
  cpntidfrom              integer NOT NULL REFERENCES vexa_lg_cpnts (cpntid),
  portidfrom              integer,
  cpntidto                integer NOT NULL REFERENCES vexa_lg_cpnts (cpntid),
  portidto                integer,
  link_type               integer,
  bidirectional_link_used integer,
  link_weight             integer,
  lkused                  integer,
  author                  varchar(100),
  created                 timestamp(0) DEFAULT vexa_sysdate(),
  terminal_name           varchar(100),
  user_update             varchar(100),
  last_update             timestamp(0) DEFAULT vexa_sysdate()
);

CREATE INDEX vexa_microscopic_connectivity_from_idx ON vexa_microscopic_connectivity (cpntidfrom);
CREATE INDEX vexa_microscopic_connectivity_to_idx ON vexa_microscopic_connectivity (cpntidto);

------------------------------------------------------------------------------
-- Boot settings of devices and device types (no statement uses them yet).
------------------------------------------------------------------------------

CREATE TABLE vexa_device_booting (
  deviceid      integer PRIMARY KEY REFERENCES vexa_lg_devices (deviceid),
  boot_image    varchar(1000),
  kernel_image  varchar(1000),
  initrd_image  varchar(1000),
  author        varchar(100),
  created       timestamp(0) DEFAULT vexa_sysdate(),
  terminal_name varchar(100),
  user_update   varchar(100),
  last_update   timestamp(0) DEFAULT vexa_sysdate()
);

CREATE TABLE vexa_devicetype_booting (
  devicetypeID  integer PRIMARY KEY REFERENCES vexa_lg_device_types (devicetypeID),
  boot_image    varchar(1000),
  kernel_image  varchar(1000),
  initrd_image  varchar(1000),
  author        varchar(100),
  created       timestamp(0) DEFAULT vexa_sysdate(),
  terminal_name varchar(100),
  user_update   varchar(100),
  last_update   timestamp(0) DEFAULT vexa_sysdate()
);

------------------------------------------------------------------------------
-- Tables filled by the server package and read by the library.
------------------------------------------------------------------------------

-- Paths between devices: node1 the start device, node2 the device behind
-- the first link, ... node11 the end device.
CREATE TABLE vexa_pdetails (
  pathid integer,
  node1  integer,
  node2  integer,
  node3  integer,
  node4  integer,
  node5  integer,
  node6  integer,
  node7  integer,
  node8  integer,
  node9  integer,
  node10 integer,
  node11 integer
);

-- By start, then end device: a build shows the paths of one start, a
-- refresh those of some (start, end device) pairs.
CREATE INDEX vexa_pdetails_ends_idx ON vexa_pdetails (node1, node11);

-- Destination table of a start device: the devices it reaches and the
-- output port through which it reaches them.
CREATE TABLE vexa_destinationtable (
  nodeid_start0 integer,
  nodeid_end1   integer,
  pfromid0      integer
);

CREATE INDEX vexa_destinationtable_ends_idx ON vexa_destinationtable (nodeid_start0, nodeid_end1);

-- Routing table of a start device (nodeid_start0, nodeid_end1, pfromid0,
-- ptoid0, ptoid1, routingpathused): a view of the routes the package
-- stores, created by 09_routing_steps.sql.

-- Working table of path searches.
CREATE TABLE vexa_path_temp (
  pathid     integer,
  link_pos   integer,
  linkid     integer,
  node_from  integer,
  node_to    integer
);

-- Result of a microscopic path query: one row per link of each path, with
-- the names of the link's two ends.
CREATE TABLE vexa_micropath_temp (
  pathid   integer,
  link_pos integer,
  nfrom    varchar(100),
  nto      varchar(100)
);
